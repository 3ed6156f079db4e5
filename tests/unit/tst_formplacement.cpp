// Restoring and saving the window placement, with a window that records what is asked of it.
// The executable doubles as a program run by an ordinary user (see main).
#include "settings/FormPlacement.h"

#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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

constexpr char kRunOption[] = "--placement";
// The ordinary user a test run as root hands the program to.
constexpr uid_t kOrdinaryUid = 65534;

// The program's part: with the settings file beside the program and the user's own, saves the
// placement of a normal window at 300, 450, 9000 x 6000 ("save"), or restores it and prints
// the calls, then the first link's title ("restore").
int RunPlacement(const QString& programFile, const QString& userFile, const QString& mode) {
    IniFileName = programFile;
    UserIniFileName = userFile;
    RecordingWindow window;
    window.Bounds[0] = 300;
    window.Bounds[1] = 450;
    window.Bounds[2] = 9000;
    window.Bounds[3] = 6000;
    FormPlacement("Main", window, mode == "save" ? SavePlacement : RestorePlacement);
    std::printf("%s\n%s\n", qUtf8Printable(window.Calls.join('|')),
                qUtf8Printable(IniReadDefault("Liens", "Titre1")));
    return 0;
}

bool SetMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool GiveTo(const QString& path, uid_t uid) {
    return ::chown(QFile::encodeName(path).constData(), uid, uid) == 0;
}

} // namespace

class TestFormPlacement : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
        // Never used while the program's folder can be written.
        UserIniFileName = dir_.filePath("config/orvane/Orvane.ini");
    }
    void cleanup() { QVERIFY(!QFile::exists(dir_.filePath("config"))); }

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

    // The program installed in a folder of its own, run by an ordinary user. Where the user can
    // write the folder, the placement goes to the file beside the program; where the folder is
    // root's (an installed package), to the user's own file, and the file beside the program
    // stays as the administrator wrote it. Either way the next start finds the placement and
    // the links beside the program. As root, the program runs as another user.
    void installedProgram_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("program folder the user can write") << true;
        QTest::newRow("root-owned program folder, ordinary user") << false;
    }
    void installedProgram() {
        QFETCH(bool, folderWritable);
        const bool root = ::geteuid() == 0;
        QTemporaryDir base;
        QVERIFY(SetMode(base.path(), 0755));
        const QString program = base.filePath("opt");
        const QString config = base.filePath("config");
        QVERIFY(QDir().mkdir(program) && QDir().mkdir(config));
        const QString programFile = program + "/Orvane.ini";
        const QString userFile = config + "/orvane/Orvane.ini";
        const QByteArray admin = "[Liens]\r\nTitre1=Docs\r\n[Main]\r\nWindowState=2\r\n";
        QVERIFY(WriteBytes(programFile, admin));
        const QString binary = base.filePath("placement");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary));
        if (root) {
            QVERIFY(GiveTo(config, kOrdinaryUid));
            if (folderWritable) {
                QVERIFY(GiveTo(program, kOrdinaryUid) && GiveTo(programFile, kOrdinaryUid));
            }
        } else if (!folderWritable) {
            QVERIFY(SetMode(program, 0555));
        }
        const auto run = [&](const QString& mode) {
            QProcess process;
            const QStringList arguments{kRunOption, programFile, userFile, mode};
            if (root) {
                process.start("setpriv", QStringList{"--reuid=65534", "--regid=65534",
                                                     "--clear-groups", "--", binary} +
                                             arguments);
            } else {
                process.start(binary, arguments);
            }
            process.waitForFinished(30000);
            return QString::fromUtf8(process.readAllStandardOutput() +
                                     process.readAllStandardError());
        };
        const QString saved = run("save");
        const QString restored = run("restore");
        const QByteArray programAfter = ReadBytes(programFile);
        const QByteArray userAfter = ReadBytes(userFile);
        SetMode(program, 0755);

        const QByteArray placement = "WindowState=0\r\nLeft=300\r\nTop=450\r\nHeight=6000\r\n"
                                     "Width=9000\r\n";
        if (folderWritable) {
            QCOMPARE(programAfter, QByteArray(admin).replace("WindowState=2\r\n", placement));
            QVERIFY(!QFile::exists(config + "/orvane"));
        } else {
            QCOMPARE(programAfter, admin);
            QCOMPARE(userAfter, "[Main]\n" + QByteArray(placement).replace("\r\n", "\n"));
        }
        QCOMPARE(saved, QString("\nDocs\n"));
        QCOMPARE(restored, QString("SetWindowState(0)|Move(300,450,9000,6000)|DoEvents\nDocs\n"));
    }

private:
    QTemporaryDir dir_;
};

int main(int argc, char** argv) {
    if (argc == 5 && QByteArray(argv[1]) == kRunOption) {
        return RunPlacement(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                            QString::fromLocal8Bit(argv[4]));
    }
    QCoreApplication app(argc, argv);
    TestFormPlacement test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_formplacement.moc"
