// The window placement: what restores ask and saves write, hostile files included, and the real
// window's bounds and screens. The executable doubles as an installed program (see main).
#include "settings/FormPlacement.h"

#include "platform/PlacementWindow.h"
#include "qt/platform/WidgetPlacement.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

using namespace BrowserMod1;
using namespace testsupport;
using platform::WidgetPlacement;

namespace {
QByteArray Main(const QByteArray& fields) { // state, left, top, height, width
    QByteArray file = "[Main]\n";
    for (const char* key : {"WindowState", "Left", "Top", "Height", "Width"}) {
        file += key + ("=" + fields.split(' ').value(file.count('\n') - 1)) + "\n";
    }
    return file;
}

// A placement window that holds its state and bounds and records what is asked of it.
struct FakePlacementWindow : platform::PlacementWindow {
    int WindowState() const override { return State; }
    void SetWindowState(int state) override {
        Calls << QString("SetWindowState(%1)").arg(State = state);
    }
    double Left() const override { return Bounds[0]; }
    double Top() const override { return Bounds[1]; }
    double Width() const override { return Bounds[2]; }
    double Height() const override { return Bounds[3]; }
    void Move(double left, double top, double width, double height) override {
        const auto n = [](double x) { return QString::number(x, 'g', 17); };
        Calls << "Move(" + QStringList{n(left), n(top), n(width), n(height)}.join(',') + ")";
    }
    void DoEvents() override { Calls << "DoEvents"; }
    int State = 0;
    double Bounds[4] = {0, 0, 0, 0}; // left, top, width, height
    QStringList Calls;
};
} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void init() {
        IniFileName = dir_.filePath("Orvane.ini");
        QFile::remove(IniFileName);
        UserIniFileName = dir_.filePath("config/Orvane.ini"); // unused: the folder is writable
    }
    void cleanup() { QVERIFY(!QFile::exists(UserIniFileName)); }

    // Start-up goes on whatever the file says: the state asked, then the bounds moved to; the
    // real window opens usable, on the screen and not minimized, at the bounds when they fit.
    void restore_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("calls");
        const auto row = [](const char* name, QByteArray file, QString calls) {
            QTest::newRow(name) << file << calls;
        };
        row("first start maximized", "", "2");
        row("closed normal", Main("0 120 -45 3000 4000"), "0 120,-45,4000,3000");
        row("closed minimized opens normal", Main("1 12 45 30 40"), "0 12,45,40,30");
        row("clamped to 32 bits", Main("0 9999999999 -9999999999 4294967296 2147483648"),
            "0 2147483647,-2147483648,2147483647,2147483647");
        row("NaN and infinity words", Main("nan NaN -inf 1.#INF Infinity"), "0");
        row("halves to even", Main("1.5 2.5 -2.5 2147483646.5 2147483647.5"),
            "2 2,-2,2147483647,2147483646");
        row("binary garbage", "[Main]\nWindowState=\xff\x01\nLeft=\0\0\nTop=\x80\n"_qba, "2");
        row("bounds restored", Main("0 1500 750 4500 6000"), "0 1500,750,6000,4500");
    }
    void restore() {
        QFETCH(QByteArray, file);
        QFETCH(QString, calls);
        QVERIFY(file.isEmpty() || WriteBytes(IniFileName, file));
        FakePlacementWindow fake;
        FormPlacement("Main", fake, RestorePlacement);
        const QStringList asked = calls.split(' ');
        const QString move = asked.size() > 1 ? " Move(" + asked[1] + ")" : "";
        QCOMPARE(fake.Calls.join(' '), "SetWindowState(" + asked[0] + ")" + move + " DoEvents");
        QWidget window;
        WidgetPlacement placement(window);
        FormPlacement("Main", placement, RestorePlacement);
        window.show();
        QCOMPARE(window.windowState(), asked[0] == "2" ? Qt::WindowMaximized : Qt::WindowNoState);
        QVERIFY(
            window.frameGeometry().intersects(QApplication::primaryScreen()->availableGeometry()));
        QVERIFY(!window.size().isEmpty() && window.width() <= 32767 && window.height() <= 32767);
        QTRY_VERIFY(QTest::currentDataTag() != QByteArray("bounds restored") ||
                    QRectF(placement.Left(), placement.Top(), placement.Width(),
                           placement.Height()) == QRectF(1500, 750, 6000, 4500));
        QCOMPARE(ReadBytes(IniFileName), file); // a restore writes nothing
    }

    void save_data() { // bounds: state, left, top, width, height
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<double>>("bounds");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, QByteArray before, QList<double> bounds,
                            QByteArray after) { QTest::newRow(name) << before << bounds << after; };
        row("normal, new file", "", {0, -15.4, 30, 6000, 4499.5}, Main("0 -15 30 4500 6000"));
        row("maximized: the state only", Main("0 1 2 3 4"), {2, 5, 6, 7, 8}, Main("2 1 2 3 4"));
        row("not numbers: whole 32-bit numbers", "", {0, NAN, -INFINITY, 1e300, 2.5},
            Main("0 0 -2147483648 2 2147483647"));
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(QList<double>, bounds);
        QVERIFY(before.isEmpty() || WriteBytes(IniFileName, before));
        FakePlacementWindow window;
        window.State = int(bounds[0]);
        std::copy(bounds.begin() + 1, bounds.end(), window.Bounds);
        FormPlacement("Main", window, SavePlacement);
        QTEST(ReadBytes(IniFileName), "after");
        QCOMPARE(window.Calls, QStringList());
    }

    void keepOnScreen_data() {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("placed");
        const auto row = [](const char* name, QList<QRect> screens, QRect outer, QRect placed) {
            QTest::newRow(name) << screens << outer << placed;
        };
        const QRect first(0, 0, 1920, 1080);
        const QList<QRect> one{first}, two{first, QRect(1920, 0, 1280, 1024)};
        row("partly off stays", one, {-700, -50, 800, 600}, {-700, -50, 800, 600});
        row("left of every screen", one, {-5000, 100, 800, 600}, {0, 100, 800, 600});
        row("larger than the screen", one, {5000, 5000, 3000, 2000}, first);
        row("across two screens", two, {100, 100, 3000, 600}, {100, 100, 3000, 600});
        row("second screen gone", one, {2000, 100, 800, 600}, {1120, 100, 800, 600});
    }
    void keepOnScreen() {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, outer);
        QTEST(platform::KeepOnScreen(outer, screens, screens.first()), "placed");
    }

    // Bounds saved and restored by an installed program run as uid 65534 (when root): where the
    // folder is root's, they go to the user's own file and the administrator's stays as it was.
    void installedProgram_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("program folder the user can write") << true;
        QTest::newRow("root-owned program folder, ordinary user") << false;
    }
    void installedProgram() {
        QFETCH(bool, writable);
        const bool root = ::geteuid() == 0;
        QTemporaryDir base;
        const auto path = [&](const char* name) { return QFile::encodeName(base.filePath(name)); };
        QVERIFY(::chmod(path(""), 0755) == 0 && QDir(base.path()).mkpath("opt") &&
                QDir(base.path()).mkpath("config"));
        const QByteArray admin = "[Liens]\r\nTitre1=Docs\r\n[Main]\r\nWindowState=2\r\n";
        QVERIFY(WriteBytes(path("opt/Orvane.ini"), admin));
        for (const char* mine : {"config", "opt", "opt/Orvane.ini"}) {
            QVERIFY(!root || (!writable && mine[0] == 'o') ||
                    ::chown(path(mine), 65534, 65534) == 0);
        }
        QVERIFY(root || writable || ::chmod(path("opt"), 0555) == 0);
        const auto run = [&](const char* mode) {
            const QStringList program{QCoreApplication::applicationFilePath(), "--placement",
                                      path("opt/Orvane.ini"), path("config/orvane/Orvane.ini"),
                                      mode};
            const QString user = "--reuid=65534 --regid=65534 --clear-groups --";
            QProcess process;
            process.start(root ? "setpriv" : program[0],
                          root ? user.split(' ') + program : program.mid(1));
            process.waitForFinished(60000);
            return QString::fromUtf8(process.readAll());
        };
        QCOMPARE(run("save"), " Docs");
        QCOMPARE(run("restore"), "SetWindowState(0) Move(300,450,9000,6000) DoEvents Docs");
        ::chmod(path("opt"), 0755);
        const QByteArray mine = Main("0 300 450 6000 9000").sliced(7);
        QCOMPARE(ReadBytes(path("opt/Orvane.ini")),
                 writable ? QByteArray(admin).replace("WindowState=2\r\n",
                                                      QByteArray(mine).replace("\n", "\r\n"))
                          : admin);
        QCOMPARE(ReadBytes(path("config/orvane/Orvane.ini")), writable ? "" : "[Main]\n" + mine);
    }
};

// As the installed program: saves a window at 300, 450, 9000 x 6000 or restores; prints calls.
int main(int argc, char** argv) {
    if (argc == 5 && argv[1] == std::string_view("--placement")) {
        IniFileName = QString::fromLocal8Bit(argv[2]);
        UserIniFileName = QString::fromLocal8Bit(argv[3]);
        FakePlacementWindow window;
        std::copy_n(std::begin({300.0, 450.0, 9000.0, 6000.0}), 4, window.Bounds);
        FormPlacement("Main", window,
                      argv[4] == std::string_view("save") ? SavePlacement : RestorePlacement);
        std::printf("%s %s", qUtf8Printable(window.Calls.join(' ')),
                    qUtf8Printable(IniReadDefault("Liens", "Titre1")));
        return 0;
    }
    QApplication app(argc, argv);
    TestPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_placement.moc"
