// Restoring and saving the window placement, with a window that records what is asked of it.
#include "settings/FormPlacement.h"

#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace BrowserMod1;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

class RecordingWindow : public platform::PlacementWindow {
public:
    int WindowState() const override { return State; }
    void SetWindowState(int state) override {
        Calls << QStringLiteral("SetWindowState(%1)").arg(state);
        State = state;
    }
    double Left() const override { return Bounds[0]; }
    double Top() const override { return Bounds[1]; }
    double Width() const override { return Bounds[2]; }
    double Height() const override { return Bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        Calls << QStringLiteral("Move(%1,%2,%3,%4)").arg(left).arg(top).arg(width).arg(height);
    }
    void DoEvents() override { Calls << "DoEvents"; }

    int State = 0;
    double Bounds[4] = {0, 0, 0, 0}; // left, top, width, height
    QStringList Calls;
};

} // namespace

class TestFormPlacement : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
    }

    void restore_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("calls");
        const QStringList maximized{"SetWindowState(2)", "DoEvents"};
        QTest::newRow("first start") << QByteArray() << maximized;
        QTest::newRow("all zero") << QByteArray("[Main]\nWindowState=0\nLeft=0\nTop=0\nHeight=0\n"
                                                "Width=0\n")
                                  << maximized;
        QTest::newRow("non-numeric reads as zero")
            << QByteArray("[Main]\nWindowState=x\nWidth=abc\n") << maximized;
        QTest::newRow("closed normal")
            << QByteArray("[Main]\nWindowState=0\nLeft=120\nTop=-45\nHeight=3000\nWidth=4000\n")
            << QStringList{"SetWindowState(0)", "Move(120,-45,4000,3000)", "DoEvents"};
        QTest::newRow("closed maximized, bounds applied after the state")
            << QByteArray("[Main]\nWindowState=2\nLeft=120\nTop=45\nHeight=3000\nWidth=4000\n")
            << QStringList{"SetWindowState(2)", "Move(120,45,4000,3000)", "DoEvents"};
        QTest::newRow("closed minimized opens normal")
            << QByteArray("[Main]\nWindowState=1\nLeft=120\nTop=45\nHeight=3000\nWidth=4000\n")
            << QStringList{"SetWindowState(0)", "Move(120,45,4000,3000)", "DoEvents"};
        QTest::newRow("closed minimized, no bounds: designed placement")
            << QByteArray("[Main]\nWindowState=1\n")
            << QStringList{"SetWindowState(0)", "DoEvents"};
        QTest::newRow("height missing")
            << QByteArray("[Main]\nWindowState=0\nWidth=4000\nLeft=1\n")
            << QStringList{"SetWindowState(0)", "Move(1,0,4000,0)", "DoEvents"};
        QTest::newRow("written elsewhere")
            << QByteArray("[MAIN]\r\nwidth = 120,5\r\nLEFT=\" 1 5\"\r\n")
            << QStringList{"SetWindowState(0)", "Move(15,0,120,0)", "DoEvents"};
        QTest::newRow("blanks inside the digits")
            << QByteArray("[Main]\nWidth= 4 000 \nTop=2.5\n")
            << QStringList{"SetWindowState(0)", "Move(0,2,4000,0)", "DoEvents"};
    }
    void restore() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, calls);
        if (!file.isEmpty()) {
            QVERIFY(WriteBytes(IniFileName, file));
        }
        RecordingWindow window;
        FormPlacement("Main", window, RestorePlacement);
        QCOMPARE(window.Calls, calls);
        QCOMPARE(ReadBytes(IniFileName), file);
        QCOMPARE(QFile::exists(IniFileName), !file.isEmpty());
    }

    void save_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("after");
        const QByteArray earlier = "[Main]\nWindowState=0\nLeft=1\nTop=2\nHeight=3\nWidth=4\n";
        QTest::newRow("normal, new file")
            << QByteArray() << 0
            << QByteArray("[Main]\nWindowState=0\nLeft=-15\nTop=30\nHeight=4500\nWidth=6000\n");
        QTest::newRow("maximized keeps the bounds")
            << earlier << 2 << QByteArray(earlier).replace("WindowState=0", "WindowState=2");
        QTest::newRow("minimized keeps the bounds")
            << earlier << 1 << QByteArray(earlier).replace("WindowState=0", "WindowState=1");
        QTest::newRow("minimized, new file")
            << QByteArray() << 1 << QByteArray("[Main]\nWindowState=1\n");
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(int, state);
        QFETCH(QByteArray, after);
        if (!before.isEmpty()) {
            QVERIFY(WriteBytes(IniFileName, before));
        }
        RecordingWindow window;
        window.State = state;
        window.Bounds[0] = -15.4;
        window.Bounds[1] = 30;
        window.Bounds[2] = 6000;
        window.Bounds[3] = 4499.5;
        FormPlacement("Main", window, SavePlacement);
        QCOMPARE(ReadBytes(IniFileName), after);
        QCOMPARE(window.Calls, QStringList());
    }

    void savedPlacementComesBack() {
        RecordingWindow closing;
        closing.Bounds[0] = 300;
        closing.Bounds[1] = 450;
        closing.Bounds[2] = 9000;
        closing.Bounds[3] = 6000;
        FormPlacement("Main", closing, SavePlacement);
        RecordingWindow opening;
        FormPlacement("Main", opening, RestorePlacement);
        QCOMPARE(opening.Calls,
                 (QStringList{"SetWindowState(0)", "Move(300,450,9000,6000)", "DoEvents"}));
    }

    void otherModesDoNothing_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("2") << 2;
        QTest::newRow("-1") << -1;
        QTest::newRow("256") << 256;
    }
    void otherModesDoNothing() {
        QFETCH(int, mode);
        RecordingWindow window;
        FormPlacement("Main", window, mode);
        QCOMPARE(window.Calls, QStringList());
        QVERIFY(!QFile::exists(IniFileName));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestFormPlacement)
#include "tst_formplacement.moc"
