// The real program as the host application starts it, under openbox, seen and driven from
// outside as another X11 client and a person at the keyboard.
#include "support/TestServer.h"
#include "support/X11Client.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWidget>
#include <csignal>
#include <unistd.h>

const QString kProduct = QStringLiteral("Navigateur Ulmeco");
const auto CaptionFor = [](const QString& title) { return title + " - " + kProduct; };

// A copy of the program and its window library in a fresh folder, also its home: settings and
// instance lock go by the executable's path. Each process group started ends with the copy.
struct ProgramCopy {
    QTemporaryDir folder;
    QObject processes;
    const QString binary = qEnvironmentVariable("ORVANE_BINARY");

    ProgramCopy() {
        for (const QString& file : {binary, qEnvironmentVariable("ORVANE_GUI_LIBRARY")})
            QFile::copy(file, folder.filePath(QFileInfo(file).fileName()));
    }
    ~ProgramCopy() {
        for (QProcess* process : processes.findChildren<QProcess*>())
            if (process->state() != QProcess::NotRunning)
                ::kill(-pid_t(process->processId()), SIGKILL);
    }
    QProcess* Start(const QString& commandLine) {
        auto* process = new QProcess(&processes);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), folder.path());
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            environment.remove(QLatin1String(variable));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        process->start(folder.filePath(QFileInfo(binary).fileName()), {commandLine});
        return process->waitForStarted(), process;
    }
};

class TestProgramE2E : public QObject {
    Q_OBJECT

    X11Client x;
    TestServer server;
    std::unique_ptr<ProgramCopy> copy;
    QProcess* program = nullptr; // the last one started

    QString Url(const QString& path) const { return server.Url(path).toString(); }
    QByteArray Settings() const {
        QFile file(copy->folder.filePath("Orvane.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Starts the program, from a new copy unless one is there; its window with the caption, or 0.
    xcb_window_t Start(const QString& commandLine, const QString& caption) {
        copy = copy ? std::move(copy) : std::make_unique<ProgramCopy>();
        program = copy->Start(commandLine);
        const std::vector pid{std::uint32_t(program->processId())};
        xcb_window_t found = 0;
        const auto shown = [&] {
            for (const xcb_window_t w : x.Forms())
                found = x.Cardinals(w, "_NET_WM_PID") == pid && x.Caption(w) == caption ? w : found;
            return found != 0;
        };
        return QTest::qWaitFor(shown, kX11WaitMs) ? found : 0;
    }
    // Closes the window with the close button's access key; true when the program ended well.
    bool Close(xcb_window_t window) {
        return X11Client::Xdotool("windowactivate", window, "alt+f") &&
               program->waitForFinished(kX11WaitMs) &&
               program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0;
    }

private slots:
    void initTestCase() { QVERIFY(server.Listen() && x.WindowManager()); }
    void cleanup() { copy.reset(); }

    // The first start opens maximized; the home page arrives lower-cased and trimmed; closing
    // saves the state only.
    void firstStart() {
        const QString home = QString("  HTTP://127.0.0.1:%1/SLOW?MS=4000  ").arg(server.Port());
        const xcb_window_t window = Start(home, CaptionFor("Lente"));
        QVERIFY(window != 0);
        QCOMPARE(server.Paths(), QStringList{"/slow?ms=4000"});
        QTRY_VERIFY(x.Maximized(window));
        QVERIFY2(Settings().isEmpty(), "nothing is written while the window runs");
        QVERIFY(Close(window));
        QCOMPARE(Settings(), QByteArray("[Main]\nWindowState=2\n"));
    }

    // Closed minimized last time with no bounds, the window opens normal and saves its outer
    // bounds in the program's order; the next start shows them and writes them back unchanged.
    void boundsSavedAndRestored() {
        copy = std::make_unique<ProgramCopy>();
        QFile file(copy->folder.filePath("Orvane.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Main]\nWindowState=1\n") &&
                file.flush());
        QByteArray saved;
        for (int start = 0; start < 2; ++start) {
            const xcb_window_t w = Start(Url("/title"), CaptionFor("Page avec titre"));
            QVERIFY(w != 0);
            QVERIFY(!x.Maximized(w) && !x.HasState(w, "_NET_WM_STATE_HIDDEN"));
            const auto f = x.Cardinals(w, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
            const QRect r = x.Bounds(w).adjusted(-f.at(0), -f.at(2), f.at(1), f.at(3));
            QVERIFY(Close(w));
            const QString twips =
                QString::asprintf("[Main]\nWindowState=0\nLeft=%d\nTop=%d\nHeight=%d\nWidth=%d\n",
                                  15 * r.x(), 15 * r.y(), 15 * r.height(), 15 * r.width());
            QCOMPARE(Settings(), saved.isEmpty() ? twips.toUtf8() : saved);
            saved = Settings();
        }
    }

    // A later start brings the first window forward, restored when minimized, and ends at once;
    // once the first has been killed, a start opens a window of its own.
    void secondStart_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("page with a title") << "/title" << CaptionFor("Page avec titre");
        // The caption keeps its ending within the 254 characters a second start reads.
        QTest::newRow("title of 20 million characters")
            << "/longtitle" << CaptionFor(QString(234, u'x'));
    }
    void secondStart() {
        QFETCH(QString, page);
        QFETCH(QString, caption);
        const xcb_window_t window = Start(Url(page), caption);
        QVERIFY(window != 0);
        QProcess* first = program;
        QWidget other; // another window has the input when the host starts the program again
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(X11Client::Xdotool("windowactivate", xcb_window_t(other.winId())));
        for (const QString path : {"/echo/normal", "/echo/minimized"}) {
            if (path == "/echo/minimized")
                QVERIFY(X11Client::Xdotool("windowminimize", window));
            QTRY_COMPARE(x.HasState(window, "_NET_WM_STATE_HIDDEN"), path == "/echo/minimized");
            QProcess* again = copy->Start(Url(path));
            QVERIFY(again->waitForFinished(kX11WaitMs) && again->exitCode() == 0);
            QCOMPARE(x.Forms(), std::vector<xcb_window_t>{window});
            QTRY_COMPARE(x.Cardinals(x.root, "_NET_ACTIVE_WINDOW").at(0), window);
            QVERIFY(x.Maximized(window) && !x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            QVERIFY(!server.Paths().contains(path) && first->state() == QProcess::Running);
        }
        ::kill(pid_t(first->processId()), SIGKILL); // as a crash would end it
        QTRY_VERIFY(x.Forms().empty());
        QVERIFY(Start(Url("/echo/after"), CaptionFor("/echo/after")) != 0);
        QVERIFY2(Settings().isEmpty(), "no start wrote settings");
    }

    // Messagerie, Précédent, Suivant, Actualiser, Démarrage from the keyboard; the last two reload.
    void accessKeysNavigate() {
        const QString home = "/echo/home", mail = "/echo/mail";
        const xcb_window_t window = Start(Url(home) + ',' + Url(mail), CaptionFor(home));
        QVERIFY(window != 0);
        const QString paths[] = {mail, home, mail, mail, home};
        for (int step = 0; step < 5; ++step) {
            const QString keys = QStringLiteral("alt+") + "mpsad"[step], path = paths[step];
            const bool asks = step != 1 && step != 2;
            const auto requests = server.Paths().count(path);
            QVERIFY(X11Client::Xdotool("windowactivate", window, keys));
            QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor(path), kX11WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!asks || server.Paths().count(path) > requests, kX11WaitMs);
        }
    }

    // Arrêter gives up a home page that never comes; the window goes on working.
    void accessKeyStopsALoad() {
        QTcpServer silent; // reads requests and never answers
        int asked = 0, dropped = 0;
        connect(&silent, &QTcpServer::newConnection, [&] {
            while (QTcpSocket* socket = silent.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, [&, socket] {
                    if (socket->readAll().startsWith("GET ") && ++asked)
                        connect(socket, &QTcpSocket::disconnected, [&] { ++dropped; });
                });
        });
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QString home = QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort());
        const xcb_window_t window = Start(home + ',' + Url("/echo/mail"), kProduct);
        QVERIFY(window != 0);
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, kX11WaitMs);
        QCOMPARE(dropped, 0);
        QVERIFY(X11Client::Xdotool("windowactivate", window, "alt+t"));
        QTRY_COMPARE_WITH_TIMEOUT(dropped, 1, kX11WaitMs);
        QCOMPARE(x.Caption(window), kProduct);
        QVERIFY(X11Client::Xdotool("windowactivate", window, "alt+m"));
        QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor("/echo/mail"), kX11WaitMs);
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(TestProgramE2E)
#include "tst_program_e2e.moc"
