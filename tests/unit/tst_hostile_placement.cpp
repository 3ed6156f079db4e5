// Placement values that nobody should have written: beyond 32 bits, hundreds of digits, words
// that look like NaN or infinity, binary garbage. Start-up goes on, the numbers handed to the
// window are the parsed ones clamped to 32 bits, and a real window stays usable and on screen.
#include "settings/FormPlacement.h"

#include "platform/WidgetPlacement.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>

using namespace BrowserMod1;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// Keeps the state it is given, the last bounds it was moved to and whether events ran.
class LastCallWindow : public platform::PlacementWindow {
public:
    int WindowState() const override { return state; }
    void SetWindowState(int value) override { state = value; }
    double Left() const override { return bounds[0]; }
    double Top() const override { return bounds[1]; }
    double Width() const override { return bounds[2]; }
    double Height() const override { return bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        moved = QList<double>{left, top, width, height};
    }
    void DoEvents() override { eventsRun = true; }

    int state = -1;
    double bounds[4] = {0, 0, 0, 0};
    std::optional<QList<double>> moved;
    bool eventsRun = false;
};

QByteArray MainSection(const QByteArray& state, const QByteArray& left, const QByteArray& top,
                       const QByteArray& height, const QByteArray& width) {
    return "[Main]\nWindowState=" + state + "\nLeft=" + left + "\nTop=" + top +
           "\nHeight=" + height + "\nWidth=" + width + "\n";
}

constexpr double kMax = INT_MAX;
constexpr double kMin = INT_MIN;
const QByteArray kNines(400, '9');

} // namespace

class TestHostilePlacement : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
    }

    void restoreClamps_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<double>>("moved"); // empty: no move
        QTest::newRow("beyond 32 bits")
            << MainSection("0", "99999999999999999999", "-99999999999999999999", "4294967296",
                           "2147483648")
            << 0 << QList<double>{kMax, kMin, kMax, kMax};
        QTest::newRow("hundreds of digits")
            << MainSection("2", "-" + kNines, kNines, kNines + "." + kNines, "0." + kNines) << 2
            << QList<double>{kMin, kMax, 1, kMax};
        QTest::newRow("state beyond 32 bits")
            << MainSection(kNines, "1", "2", "3", "4") << INT_MAX << QList<double>{1, 2, 4, 3};
        QTest::newRow("NaN and infinity words")
            << MainSection("nan", "NaN", "-inf", "1.#INF", "Infinity") << 0 << QList<double>{};
        QTest::newRow("exponents and radix prefixes")
            << MainSection("1e9", "&H7FFFFFFF", "0x10", "-1E400", "1e400") << 0
            << QList<double>{0, 0, 1, -1};
        QTest::newRow("halves go to even")
            << MainSection("1.5", "2.5", "-2.5", "2147483646.5", "2147483647.5") << 2
            << QList<double>{2, -2, kMax, 2147483646};
        QTest::newRow("binary garbage")
            << QByteArray("[Main]\nWindowState=\xff\x01\nLeft=\x00\x00\nTop=\x80\nWidth=\x7f\n", 44)
            << 2 << QList<double>{};
        QTest::newRow("a megabyte of digits")
            << MainSection("0", "1", "1", QByteArray(1 << 20, '7'), "-" + QByteArray(1 << 20, '8'))
            << 0 << QList<double>{1, 1, kMin, kMax};
    }
    void restoreClamps() {
        QFETCH(QByteArray, file);
        QFETCH(int, state);
        QFETCH(QList<double>, moved);
        QVERIFY(WriteBytes(IniFileName, file));
        LastCallWindow window;
        FormPlacement("Main", window, RestorePlacement);
        QCOMPARE(window.state, state);
        QCOMPARE(window.moved.value_or(QList<double>{}), moved);
        QVERIFY(window.eventsRun);
        QCOMPARE(ReadBytes(IniFileName), file); // a restore writes nothing
    }

    // Bounds that are not whole numbers of twips, or not numbers at all, are saved as whole
    // 32-bit numbers that the next start reads back.
    void saveWritesWholeNumbers() {
        LastCallWindow window;
        window.state = 0;
        window.bounds[0] = std::numeric_limits<double>::quiet_NaN();
        window.bounds[1] = -std::numeric_limits<double>::infinity();
        window.bounds[2] = 1e300;
        window.bounds[3] = 2.5;
        FormPlacement("Main", window, SavePlacement);
        QCOMPARE(ReadBytes(IniFileName), QByteArray("[Main]\nWindowState=0\nLeft=0\n"
                                                    "Top=-2147483648\nHeight=2\n"
                                                    "Width=2147483647\n"));
    }

    // The real window: whatever the file says, it opens usable, on the screen and not minimized.
    void realWindowStaysUsable_data() { restoreClamps_data(); }
    void realWindowStaysUsable() {
        QFETCH(QByteArray, file);
        QVERIFY(WriteBytes(IniFileName, file));
        QWidget widget;
        platform::WidgetPlacement placement(widget);
        FormPlacement("Main", placement, RestorePlacement);
        widget.show();
        QVERIFY(!(widget.windowState() & Qt::WindowMinimized));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(widget.frameGeometry().intersects(screen), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                           .arg(widget.x())
                                                                           .arg(widget.y())
                                                                           .arg(widget.width())
                                                                           .arg(widget.height())));
        QVERIFY(widget.width() > 0 && widget.width() <= 32767);
        QVERIFY(widget.height() > 0 && widget.height() <= 32767);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestHostilePlacement)
#include "tst_hostile_placement.moc"
