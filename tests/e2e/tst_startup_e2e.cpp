// The real program started as the host application starts it, under a window manager: the
// first window, the command line, the placement kept in the settings file and the one-window
// rule, seen from outside as another X11 client sees them.
#include "support/DesktopTools.h"
#include "support/FileBytes.h"
#include "support/ProgramCopy.h"
#include "support/TestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <memory>
#include <vector>

using testsupport::ProgramCopy;
namespace desktop = testsupport::desktop;

namespace {

// The first page comes only after the web engine has started: slow on a loaded machine.
constexpr int kFirstPageMs = 30000;
// A start that finds an earlier window ends before any toolkit is loaded.
constexpr int kQuickEndMs = 15000;
constexpr int kTwipsPerPixel = 15; // the test display has 96 dots per inch
// The bounds may differ by a pixel or two of rounding between twips and pixels.
constexpr int kPixelTolerance = 2;

const QString kProduct = QStringLiteral("Navigateur Ulmeco");

QString CaptionFor(const QString& title) {
    return title + QStringLiteral(" - ") + kProduct;
}

// The settings file's lines without blanks around them, empty lines left out.
QStringList SettingsLines(const QString& path) {
    QStringList lines;
    for (const QByteArray& line : testsupport::ReadBytes(path).split('\n')) {
        if (!line.trimmed().isEmpty()) {
            lines << QString::fromUtf8(line.trimmed());
        }
    }
    return lines;
}

// "Key=value" lines as keys (in file order) and values.
QStringList Keys(const QStringList& lines) {
    QStringList keys;
    for (const QString& line : lines) {
        keys << line.section(QLatin1Char('='), 0, 0);
    }
    return keys;
}

int Value(const QStringList& lines, const QString& key) {
    for (const QString& line : lines) {
        if (line.startsWith(key + QLatin1Char('='))) {
            return line.section(QLatin1Char('='), 1).toInt();
        }
    }
    return INT_MIN;
}

// The design frame, which stands in for the real one until the window is mapped:
// 120 twips wide and 510 twips high.
const QSize kDesignFrame(120 / kTwipsPerPixel, 510 / kTwipsPerPixel);

QRect Pixels(const QRect& twips) {
    return {twips.left() / kTwipsPerPixel, twips.top() / kTwipsPerPixel,
            twips.width() / kTwipsPerPixel, twips.height() / kTwipsPerPixel};
}

bool Near(const QRect& seen, const QRect& expected,
          const QSize& tolerance = QSize(kPixelTolerance, kPixelTolerance)) {
    return qAbs(seen.left() - expected.left()) <= tolerance.width() &&
           qAbs(seen.top() - expected.top()) <= tolerance.height() &&
           qAbs(seen.width() - expected.width()) <= tolerance.width() &&
           qAbs(seen.height() - expected.height()) <= tolerance.height();
}

QByteArray Describe(const QRect& rect) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.left())
        .arg(rect.top())
        .arg(rect.width())
        .arg(rect.height())
        .toUtf8();
}

bool Maximized(desktop::Window window) {
    const QStringList state = desktop::NetWmState(window);
    return state.contains(QStringLiteral("MAXIMIZED_VERT")) &&
           state.contains(QStringLiteral("MAXIMIZED_HORZ"));
}

} // namespace

class TestStartupE2E : public QObject {
    Q_OBJECT

    TestServer Server;
    std::vector<std::unique_ptr<ProgramCopy>> Copies;

    ProgramCopy& NewCopy() {
        Copies.push_back(std::make_unique<ProgramCopy>());
        return *Copies.back();
    }
    QString Url(const QString& path) const { return Server.Url(path).toString(); }

    // Closes the window with the close button's access key and waits for the program's end.
    static bool CloseWithAltF(desktop::Window window, QProcess* program) {
        if (!desktop::PressKeys(window, QStringLiteral("alt+f"))) {
            return false;
        }
        return QTest::qWaitFor([&] { return program->state() == QProcess::NotRunning; }, 20000) &&
               program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0;
    }

private slots:
    void initTestCase() { QVERIFY(Server.Listen()); }

    void cleanup() {
        if (QTest::currentTestFailed()) {
            for (const auto& copy : Copies) {
                qWarning().noquote() << copy->Output().right(4000);
            }
        }
        Copies.clear(); // ends every program the test started
    }

    void firstStartOpensMaximizedAndClosingSavesTheStateOnly() {
        ProgramCopy& copy = NewCopy();
        QVERIFY2(copy.Error().isEmpty(), qPrintable(copy.Error()));
        // A home page that comes late, so that the caption before it can be seen.
        QProcess* program = copy.Start({Url(QStringLiteral("/slow?ms=4000"))});
        const desktop::Window window = desktop::WaitForFormOf(program->processId(), kFirstPageMs);
        QVERIFY(window != 0);

        QStringList captions; // each caption seen, once
        const auto seen = [&] {
            const QString caption = desktop::Caption(window);
            if (!caption.isEmpty() && (captions.isEmpty() || captions.last() != caption)) {
                captions << caption;
            }
            return caption;
        };
        QTRY_COMPARE_WITH_TIMEOUT(seen(), CaptionFor(QStringLiteral("Lente")), kFirstPageMs);
        QCOMPARE(captions, QStringList({kProduct, CaptionFor(QStringLiteral("Lente"))}));

        QCOMPARE(desktop::WindowClass(window), QStringLiteral("ThunderRT6FormDC"));
        QTRY_VERIFY2(Maximized(window), qPrintable(desktop::NetWmState(window).join(' ')));
        QVERIFY2(!QFile::exists(copy.SettingsPath()), "nothing is written while the window runs");

        QVERIFY(CloseWithAltF(window, program));
        QCOMPARE(SettingsLines(copy.SettingsPath()),
                 QStringList({QStringLiteral("[Main]"), QStringLiteral("WindowState=2")}));
    }

    void commandLineArrivesTrimmedAndLowerCased() {
        ProgramCopy& copy = NewCopy();
        QVERIFY2(copy.Error().isEmpty(), qPrintable(copy.Error()));
        const QString argument =
            QStringLiteral("  HTTP://127.0.0.1:%1/Echo/MiXeD  ").arg(Server.Port());
        QProcess* program = copy.Start({argument});
        QTRY_VERIFY_WITH_TIMEOUT(Server.Paths().contains(QStringLiteral("/echo/mixed")),
                                 kFirstPageMs);
        QVERIFY(!Server.Paths().contains(QStringLiteral("/Echo/MiXeD")));
        const desktop::Window window = desktop::WaitForCaptionOf(
            program->processId(), CaptionFor(QStringLiteral("/echo/mixed")), kFirstPageMs);
        QVERIFY(window != 0);
    }

    void normalBoundsAreSavedInOrderAndRestored() {
        ProgramCopy& copy = NewCopy();
        QVERIFY2(copy.Error().isEmpty(), qPrintable(copy.Error()));
        // Closed minimized last time, no bounds saved: the window opens normal.
        QVERIFY(testsupport::WriteBytes(copy.SettingsPath(), "[Main]\nWindowState=1\n"));
        QProcess* program = copy.Start({Url(QStringLiteral("/title"))});
        desktop::Window window = desktop::WaitForCaptionOf(
            program->processId(), CaptionFor(QStringLiteral("Page avec titre")), kFirstPageMs);
        QVERIFY(window != 0);
        QStringList state = desktop::NetWmState(window);
        QVERIFY2(!state.contains(QStringLiteral("MAXIMIZED_VERT")) &&
                     !state.contains(QStringLiteral("MAXIMIZED_HORZ")) &&
                     !state.contains(QStringLiteral("HIDDEN")),
                 qPrintable(state.join(' ')));
        const QRect designed = desktop::OuterBounds(window);

        QVERIFY(CloseWithAltF(window, program));
        QStringList lines = SettingsLines(copy.SettingsPath());
        QCOMPARE(Keys(lines),
                 QStringList({"[Main]", "WindowState", "Left", "Top", "Height", "Width"}));
        QCOMPARE(Value(lines, QStringLiteral("WindowState")), 0);
        const QRect saved = Pixels(
            QRect(Value(lines, QStringLiteral("Left")), Value(lines, QStringLiteral("Top")),
                  Value(lines, QStringLiteral("Width")), Value(lines, QStringLiteral("Height"))));
        QVERIFY2(Near(saved, designed),
                 Describe(saved) + " saved, " + Describe(designed) + " seen");

        // Bounds of the user's choice, in the order the program writes them.
        QVERIFY(testsupport::WriteBytes(copy.SettingsPath(),
                                        "[Main]\nWindowState=0\nLeft=3000\n"
                                        "Top=2250\nHeight=9000\nWidth=16500\n"));
        const QRect chosen = Pixels(QRect(3000, 2250, 16500, 9000));
        program = copy.Start({Url(QStringLiteral("/title"))});
        window = desktop::WaitForCaptionOf(
            program->processId(), CaptionFor(QStringLiteral("Page avec titre")), kFirstPageMs);
        QVERIFY(window != 0);
        QVERIFY(!Maximized(window));
        // The bounds are restored before the window is mapped, when its frame is not known yet:
        // they may be off by up to the frame's size.
        const QMargins frame = desktop::FrameExtents(window);
        const QSize frameTolerance(
            qMax(kDesignFrame.width(), frame.left() + frame.right()) + kPixelTolerance,
            qMax(kDesignFrame.height(), frame.top() + frame.bottom()) + kPixelTolerance);
        const QRect restored = desktop::OuterBounds(window);
        QVERIFY2(Near(restored, chosen, frameTolerance),
                 Describe(restored) + " seen, " + Describe(chosen) + " stored");

        QVERIFY(CloseWithAltF(window, program));
        lines = SettingsLines(copy.SettingsPath());
        QCOMPARE(Keys(lines),
                 QStringList({"[Main]", "WindowState", "Left", "Top", "Height", "Width"}));
        QCOMPARE(Value(lines, QStringLiteral("WindowState")), 0);
        const QRect back = Pixels(
            QRect(Value(lines, QStringLiteral("Left")), Value(lines, QStringLiteral("Top")),
                  Value(lines, QStringLiteral("Width")), Value(lines, QStringLiteral("Height"))));
        QVERIFY2(Near(back, restored), Describe(back) + " saved, " + Describe(restored) + " seen");
        // A run in which the user neither moved nor sized the window keeps its bounds.
        QVERIFY2(Near(back, chosen), Describe(back) + " saved, " + Describe(chosen) + " stored");
    }

    void secondStartActivatesTheFirstWindow_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("page with a title")
            << QStringLiteral("/title") << CaptionFor(QStringLiteral("Page avec titre"));
        // The caption keeps its ending within the 254 characters a second start reads.
        QTest::newRow("title of 20 million characters")
            << QStringLiteral("/longtitle")
            << CaptionFor(QString(254 - CaptionFor({}).size(), u'x'));
    }
    void secondStartActivatesTheFirstWindow() {
        QFETCH(QString, page);
        QFETCH(QString, caption);
        ProgramCopy& copy = NewCopy();
        QVERIFY2(copy.Error().isEmpty(), qPrintable(copy.Error()));
        QProcess* first = copy.Start({Url(page)});
        const desktop::Window window =
            desktop::WaitForCaptionOf(first->processId(), caption, kFirstPageMs);
        QVERIFY(window != 0);
        QTRY_VERIFY(Maximized(window));

        // Another window has the input when the host starts the program again.
        QWidget other;
        other.setWindowTitle(QStringLiteral("Ulmeco"));
        other.resize(400, 300);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const auto otherWindow = static_cast<desktop::Window>(other.winId());
        QVERIFY(desktop::Activate(otherWindow));
        QTRY_COMPARE(desktop::ActiveWindow(), otherWindow);

        const auto startAgain = [&](const QString& path) {
            QElapsedTimer clock;
            clock.start();
            QProcess* second = copy.Start({Url(path)});
            QVERIFY(second->waitForFinished(kQuickEndMs));
            qInfo("second start ended after %lld ms", static_cast<long long>(clock.elapsed()));
            QCOMPARE(second->exitStatus(), QProcess::NormalExit);
            QCOMPARE(second->exitCode(), 0);
            QCOMPARE(desktop::FormWindows(), QList<desktop::Window>{window});
            QVERIFY(!Server.Paths().contains(path));
            QVERIFY2(!QFile::exists(copy.SettingsPath()), "an ended second start writes nothing");
        };
        startAgain(QStringLiteral("/echo/second") + page);
        if (QTest::currentTestFailed()) {
            return;
        }
        QTRY_COMPARE(desktop::ActiveWindow(), window);
        QVERIFY(Maximized(window));

        // A minimized first window is restored.
        QVERIFY(desktop::Minimize(window));
        QTRY_VERIFY(desktop::NetWmState(window).contains(QStringLiteral("HIDDEN")));
        startAgain(QStringLiteral("/echo/restored") + page);
        if (QTest::currentTestFailed()) {
            return;
        }
        QTRY_VERIFY2(!desktop::NetWmState(window).contains(QStringLiteral("HIDDEN")),
                     qPrintable(desktop::NetWmState(window).join(' ')));
        QTRY_COMPARE(desktop::ActiveWindow(), window);
        QVERIFY(Maximized(window));

        // Once the first has crashed, a new start opens a window of its own.
        ProgramCopy::Crash(first);
        QTRY_VERIFY_WITH_TIMEOUT(desktop::FormWindows().isEmpty(), 10000);
        QProcess* next = copy.Start({Url(QStringLiteral("/echo/after-crash"))});
        const desktop::Window nextWindow = desktop::WaitForCaptionOf(
            next->processId(), CaptionFor(QStringLiteral("/echo/after-crash")), kFirstPageMs);
        QVERIFY(nextWindow != 0);
        QVERIFY(!QFile::exists(copy.SettingsPath()));
    }

    // The instance test is per executable file: a link to it elsewhere is the same program, a
    // copy of it elsewhere is another one, with its own window and settings.
    void theSameExecutableFileIsTheSameProgram() {
        ProgramCopy& copy = NewCopy();
        QVERIFY2(copy.Error().isEmpty(), qPrintable(copy.Error()));
        QProcess* first = copy.Start({Url(QStringLiteral("/title"))});
        const desktop::Window window = desktop::WaitForFormOf(first->processId(), kFirstPageMs);
        QVERIFY(window != 0);

        ProgramCopy& elsewhere = NewCopy();
        QVERIFY2(elsewhere.Error().isEmpty(), qPrintable(elsewhere.Error()));
        const QString link = elsewhere.Folder() + QStringLiteral("/lien-orvane");
        QVERIFY(QFile::link(copy.Executable(), link));
        QProcess* linked = copy.Start({Url(QStringLiteral("/echo/linked"))}, link);
        QVERIFY(linked->waitForFinished(kQuickEndMs));
        QCOMPARE(linked->exitCode(), 0);
        QCOMPARE(desktop::FormWindows(), QList<desktop::Window>{window});

        QProcess* other = elsewhere.Start({Url(QStringLiteral("/echo/other"))});
        const desktop::Window otherWindow =
            desktop::WaitForFormOf(other->processId(), kFirstPageMs);
        QVERIFY(otherWindow != 0);
        QVERIFY(otherWindow != window);
        QCOMPARE(desktop::FormWindows(desktop::Mapped::Only).size(), 2);
        QVERIFY(first->state() == QProcess::Running);
    }
};

QTEST_MAIN(TestStartupE2E)
#include "tst_startup_e2e.moc"
