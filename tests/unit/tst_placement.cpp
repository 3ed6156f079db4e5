// The window placement: what a restore asks of the window for each settings file, hostile ones
// included, what a save writes, and the real window's bounds, states and screens. The executable
// doubles as an installed program run by an ordinary user (see main).
#include "settings/FormPlacement.h"

#include "fakes/FakePlacementWindow.h"
#include "platform/Twips.h"
#include "platform/WidgetPlacement.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace BrowserMod1;
using namespace testsupport;
using platform::WidgetPlacement;

namespace {
QByteArray Main(const QByteArray& state, const QByteArray& left, const QByteArray& top,
                const QByteArray& height, const QByteArray& width) {
    return "[Main]\nWindowState=" + state + "\nLeft=" + left + "\nTop=" + top +
           "\nHeight=" + height + "\nWidth=" + width + "\n";
}

QRect OuterPixels(const WidgetPlacement& placement) {
    return {platform::TwipsToPixelsX(placement.Left()), platform::TwipsToPixelsY(placement.Top()),
            platform::TwipsToPixelsX(placement.Width()),
            platform::TwipsToPixelsY(placement.Height())};
}

// The program's part for installedProgram: saves a normal window at 300, 450, 9000 x 6000, or
// restores one; prints the calls and the first link's title.
int RunPlacement(char** argv) {
    IniFileName = QString::fromLocal8Bit(argv[2]);
    UserIniFileName = QString::fromLocal8Bit(argv[3]);
    FakePlacementWindow window;
    window.Bounds[0] = 300, window.Bounds[1] = 450, window.Bounds[2] = 9000;
    window.Bounds[3] = 6000;
    const bool save = argv[4] == std::string_view("save");
    FormPlacement("Main", window, save ? SavePlacement : RestorePlacement);
    std::printf("%s %s", qUtf8Printable(window.Calls.join(' ')),
                qUtf8Printable(IniReadDefault("Liens", "Titre1")));
    return 0;
}
} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
        UserIniFileName = dir_.filePath("config/Orvane.ini"); // unused: the folder is writable
    }
    void cleanup() { QVERIFY(!QFile::exists(UserIniFileName)); }

    // Start-up goes on whatever the file says; numbers are clamped to 32 bits.
    void restore_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("calls"); // state, then the bounds moved to
        const auto row = [](const char* name, const QByteArray& file, const QString& calls) {
            QTest::newRow(name) << file << calls;
        };
        const QByteArray nines(400, '9');
        const QString maximized = "2";
        row("first start", "", maximized);
        row("all zero", Main("0", "0", "0", "0", "0"), maximized);
        row("non-numeric reads as zero", "[Main]\nWindowState=x\nWidth=abc\n", maximized);
        row("closed normal", Main("0", "120", "-45", "3000", "4000"), "0 120,-45,4000,3000");
        row("closed maximized, bounds after the state", Main("2", "120", "45", "3000", "4000"),
            "2 120,45,4000,3000");
        row("closed minimized opens normal", Main("1", "120", "45", "3000", "4000"),
            "0 120,45,4000,3000");
        row("minimized, no bounds: designed placement", "[Main]\nWindowState=1\n", "0");
        row("height missing", "[Main]\nWindowState=0\nWidth=4000\nLeft=1\n", "0 1,0,4000,0");
        row("written elsewhere", "[MAIN]\r\nwidth = 120,5\r\nLEFT=\" 1 5\"\r\nTop= 2.5\r\n",
            "0 15,2,120,0");
        row("beyond 32 bits", Main("0", "99999999999", "-99999999999", "4294967296", "2147483648"),
            "0 2147483647,-2147483648,2147483647,2147483647");
        row("hundreds of digits", Main("2", "-" + nines, nines, nines + "." + nines, "0." + nines),
            "2 -2147483648,2147483647,1,2147483647");
        row("state beyond 32 bits", Main(nines, "1", "2", "3", "4"), "2147483647 1,2,4,3");
        row("NaN and infinity words", Main("nan", "NaN", "-inf", "1.#INF", "Infinity"), "0");
        row("exponents and radix prefixes", Main("1e9", "&H7FFFFFFF", "0x10", "-1E400", "1e400"),
            "0 0,0,1,-1");
        row("halves go to even", Main("1.5", "2.5", "-2.5", "2147483646.5", "2147483647.5"),
            "2 2,-2,2147483647,2147483646");
        row("binary garbage", QByteArray("[Main]\nWindowState=\xff\x01\nLeft=\0\0\nTop=\x80\n", 36),
            maximized);
        row("a megabyte of digits", Main("0", "1", "1", QByteArray(1 << 20, '7'), "-" + nines),
            "0 1,1,-2147483648,2147483647");
    }
    void restore() {
        QFETCH(QByteArray, file);
        QFETCH(QString, calls);
        QVERIFY(file.isEmpty() || WriteBytes(IniFileName, file));
        FakePlacementWindow window;
        FormPlacement("Main", window, RestorePlacement);
        const QStringList asked = calls.split(' ');
        const QString move = asked.size() > 1 ? " Move(" + asked[1] + ")" : "";
        QCOMPARE(window.Calls.join(' '), "SetWindowState(" + asked[0] + ")" + move + " DoEvents");
        QCOMPARE(ReadBytes(IniFileName), file); // a restore writes nothing
    }

    // The real window: whatever the file says, it opens usable, on the screen and not minimized.
    void realWindow_data() { restore_data(); }
    void realWindow() {
        QFETCH(QByteArray, file);
        QVERIFY(file.isEmpty() || WriteBytes(IniFileName, file));
        QWidget widget;
        WidgetPlacement placement(widget);
        FormPlacement("Main", placement, RestorePlacement);
        widget.show();
        QVERIFY(!(widget.windowState() & Qt::WindowMinimized));
        QVERIFY(widget.frameGeometry().intersects(
            QGuiApplication::primaryScreen()->availableGeometry()));
        QVERIFY(widget.width() > 0 && widget.width() <= 32767);
        QVERIFY(widget.height() > 0 && widget.height() <= 32767);
    }

    void save_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<double>>("bounds");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, int state,
                            const QList<double>& bounds, const QByteArray& after) {
            QTest::newRow(name) << before << state << bounds << after;
        };
        const QByteArray earlier = Main("0", "1", "2", "3", "4");
        const QList<double> bounds{-15.4, 30, 6000, 4499.5};
        row("normal, new file", "", 0, bounds, Main("0", "-15", "30", "4500", "6000"));
        row("maximized keeps the bounds", earlier, 2, bounds, Main("2", "1", "2", "3", "4"));
        row("minimized keeps the bounds", earlier, 1, bounds, Main("1", "1", "2", "3", "4"));
        row("minimized, new file: the state only", "", 1, bounds, "[Main]\nWindowState=1\n");
        row("not numbers: whole 32-bit numbers", "", 0, {NAN, -INFINITY, 1e300, 2.5},
            Main("0", "0", "-2147483648", "2", "2147483647"));
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(int, state);
        QFETCH(QList<double>, bounds);
        QFETCH(QByteArray, after);
        QVERIFY(before.isEmpty() || WriteBytes(IniFileName, before));
        FakePlacementWindow window;
        window.State = state;
        std::copy(bounds.begin(), bounds.end(), window.Bounds);
        FormPlacement("Main", window, SavePlacement);
        QCOMPARE(ReadBytes(IniFileName), after);
        QCOMPARE(window.Calls, QStringList());
    }

    void keepOnScreen_data() {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("placed");
        const auto row = [](const char* name, const QList<QRect>& screens, QRect outer,
                            QRect placed) { QTest::newRow(name) << screens << outer << placed; };
        const QRect first(0, 0, 1920, 1080);
        const QList<QRect> one{first}, two{first, QRect(1920, 0, 1280, 1024)};
        row("partly off stays", one, {-700, -50, 800, 600}, {-700, -50, 800, 600});
        row("left of every screen", one, {-5000, 100, 800, 600}, {0, 100, 800, 600});
        row("below every screen", one, {100, 5000, 800, 600}, {100, 480, 800, 600});
        row("larger than the screen", one, {5000, 5000, 3000, 2000}, first);
        row("wider than every screen", one, {100, 100, 3000, 600}, {0, 100, 1920, 600});
        row("across two screens", two, {100, 100, 3000, 600}, {100, 100, 3000, 600});
        row("second screen gone", one, {2000, 100, 800, 600}, {1120, 100, 800, 600});
    }
    void keepOnScreen() {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, outer);
        QFETCH(QRect, placed);
        QCOMPARE(platform::KeepOnScreen(outer, screens, screens.first()), placed);
    }

    // A real window asked for a state, then moved to bounds in twips.
    void widget_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<QRectF>("twips");
        QTest::addColumn<Qt::WindowStates>("qtState");
        QTest::addColumn<QRect>("outer"); // empty: on the screen at a usable size
        const auto row = [](const char* name, int asked, QRectF twips, Qt::WindowStates qtState,
                            QRect outer) {
            QTest::newRow(name) << asked << twips << qtState << outer;
        };
        const QRectF twips(1500, 750, 6000, 4500);
        const QRect pixels(100, 50, 400, 300);
        row("shown normal", 0, twips, Qt::WindowNoState, pixels);
        row("maximized stays maximized when moved", 2, twips, Qt::WindowMaximized, pixels);
        row("minimized returns to maximized", 1, twips, Qt::WindowMinimized | Qt::WindowMaximized,
            pixels);
        row("unknown state is normal", 7, twips, Qt::WindowNoState, pixels);
        row("off screen brought back", 0, {-300000, 150000, 6000, 4500}, {}, {});
        row("zero height", 0, {0, 0, 6000, 0}, {}, {});
        row("negative size", 0, {0, 0, -1500, -1e9}, {}, {});
        row("huge size", 0, {0, 0, 1e12, 1e300}, {}, {});
    }
    void widget() {
        QFETCH(int, asked);
        QFETCH(QRectF, twips);
        QFETCH(Qt::WindowStates, qtState);
        QFETCH(QRect, outer);
        QWidget window;
        if (QTest::currentDataTag() == QByteArray("shown normal")) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        WidgetPlacement placement(window);
        placement.SetWindowState(2);
        placement.SetWindowState(asked);
        QCOMPARE(window.windowState(), qtState);
        placement.Move(twips.left(), twips.top(), twips.width(), twips.height());
        placement.DoEvents();
        QCOMPARE(placement.WindowState(), asked == 7 ? 0 : asked);
        placement.SetWindowState(0);
        if (!outer.isEmpty()) {
            QTRY_COMPARE(OuterPixels(placement), outer);
        } else {
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(
                OuterPixels(placement)));
            QVERIFY(window.width() >= 100 && window.height() >= 100);
        }
    }

    void fullScreenCountsAsMaximized() {
        QWidget window;
        window.setWindowState(Qt::WindowFullScreen);
        QCOMPARE(WidgetPlacement(window).WindowState(), 2);
    }

    // Bounds saved and restored by the program installed in a folder of its own and run by an
    // ordinary user (uid 65534 when the suite runs as root): where the folder is root's, the
    // placement goes to the user's own file and the administrator's file stays as it was.
    void installedProgram_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("program folder the user can write") << true;
        QTest::newRow("root-owned program folder, ordinary user") << false;
    }
    void installedProgram() {
        QFETCH(bool, folderWritable);
        const bool root = ::geteuid() == 0;
        QTemporaryDir base;
        const auto path = [&](const char* name) { return QFile::encodeName(base.filePath(name)); };
        QVERIFY(::chmod(path(""), 0755) == 0 && QDir(base.path()).mkpath("opt") &&
                QDir(base.path()).mkpath("config"));
        const QByteArray admin = "[Liens]\r\nTitre1=Docs\r\n[Main]\r\nWindowState=2\r\n";
        QVERIFY(WriteBytes(path("opt/Orvane.ini"), admin));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), base.filePath("placement")));
        for (const char* mine : {"config", "opt", "opt/Orvane.ini"}) {
            QVERIFY(!root || (!folderWritable && mine[0] == 'o') ||
                    ::chown(path(mine), 65534, 65534) == 0);
        }
        QVERIFY(root || folderWritable || ::chmod(path("opt"), 0555) == 0);
        const auto run = [&](const char* mode) {
            QStringList arguments{base.filePath("placement"), "--placement", path("opt/Orvane.ini"),
                                  path("config/orvane/Orvane.ini"), mode};
            if (root) {
                arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--"} +
                            arguments;
            }
            QProcess process;
            process.start(root ? "setpriv" : arguments.takeFirst(), arguments);
            process.waitForFinished(60000);
            return QString::fromUtf8(process.readAll());
        };
        QCOMPARE(run("save"), " Docs");
        QCOMPARE(run("restore"), "SetWindowState(0) Move(300,450,9000,6000) DoEvents Docs");
        ::chmod(path("opt"), 0755);
        const QByteArray placement =
            "WindowState=0\r\nLeft=300\r\nTop=450\r\nHeight=6000\r\nWidth=9000\r\n";
        QCOMPARE(ReadBytes(path("opt/Orvane.ini")),
                 folderWritable ? QByteArray(admin).replace("WindowState=2\r\n", placement)
                                : admin);
        QCOMPARE(ReadBytes(path("config/orvane/Orvane.ini")),
                 folderWritable ? "" : "[Main]\n" + QByteArray(placement).replace("\r\n", "\n"));
    }

private:
    QTemporaryDir dir_;
};

int main(int argc, char** argv) {
    if (argc == 5 && argv[1] == std::string_view("--placement")) {
        return RunPlacement(argv);
    }
    QApplication app(argc, argv);
    TestPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_placement.moc"
