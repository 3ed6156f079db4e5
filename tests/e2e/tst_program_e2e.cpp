// The real program as the host application starts it, under openbox, seen and driven from
// outside as another X11 client and a person at the keyboard.
#include "support/ProgramCopy.h"
#include "support/TestServer.h"
#include "support/X11Client.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>

namespace {

const QString kProduct = QStringLiteral("Navigateur Ulmeco");
QString CaptionFor(const QString& title) {
    return title + " - " + kProduct;
}

} // namespace

class TestProgramE2E : public QObject {
    Q_OBJECT

    X11Client x;
    std::unique_ptr<Openbox> wm;
    TestServer server;
    std::unique_ptr<ProgramCopy> copy;

    QString Url(const QString& path) const { return server.Url(path).toString(); }
    QByteArray Settings() const {
        QFile file(copy->SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The main window of the process as a later start finds it; 0 when none came.
    xcb_window_t FormOf(QProcess* program) {
        xcb_window_t found = 0;
        QTest::qWaitFor(
            [&] {
                for (const xcb_window_t w : x.Forms())
                    if (x.Cardinals(w, "_NET_WM_PID") ==
                            std::vector{std::uint32_t(program->processId())} &&
                        x.Caption(w).endsWith(kProduct))
                        found = w;
                return found != 0;
            },
            kX11WaitMs);
        return found;
    }
    // Starts the program, from a new copy unless one is there; its window once it shows the
    // caption, else 0.
    xcb_window_t Start(const QString& commandLine, const QString& caption,
                       QProcess** started = nullptr) {
        if (!copy)
            copy = std::make_unique<ProgramCopy>();
        QProcess* program = copy->Start({commandLine});
        const xcb_window_t window = FormOf(started ? * started = program : program);
        return QTest::qWaitFor([&] { return x.Caption(window) == caption; }, kX11WaitMs) ? window
                                                                                         : 0;
    }
    // Closes the window with the close button's access key; true when the program ended well.
    bool Close(xcb_window_t window, QProcess* program) {
        return X11Client::PressKeys(window, "alt+f") && program->waitForFinished(kX11WaitMs) &&
               program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0;
    }

private slots:
    void initTestCase() {
        QVERIFY(server.Listen());
        wm = std::make_unique<Openbox>(x);
        QVERIFY(wm->Running());
    }
    void cleanup() {
        if (QTest::currentTestFailed() && copy)
            qWarning().noquote() << copy->Output().right(4000);
        copy.reset();
    }

    // The first start opens maximized; the home page arrives lower-cased and trimmed; the
    // caption shows the product until the page's title comes; closing saves the state only.
    void firstStart() {
        copy = std::make_unique<ProgramCopy>();
        QProcess* program = copy->Start(
            {QStringLiteral("  HTTP://127.0.0.1:%1/SLOW?MS=4000  ").arg(server.Port())});
        const xcb_window_t window = FormOf(program);
        QVERIFY(window != 0);
        QStringList captions; // each caption seen, once
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (captions.value(captions.size() - 1) != x.Caption(window))
                    captions << x.Caption(window);
                return captions.last() == CaptionFor("Lente");
            },
            kX11WaitMs));
        QCOMPARE(captions, QStringList({kProduct, CaptionFor("Lente")}));
        QCOMPARE(server.Paths(), QStringList{"/slow?ms=4000"});
        QCOMPARE(x.Class(window), QStringLiteral("ThunderRT6FormDC"));
        QTRY_VERIFY(x.Maximized(window));
        QVERIFY2(Settings().isEmpty(), "nothing is written while the window runs");
        QVERIFY(Close(window, program));
        QCOMPARE(Settings(), QByteArray("[Main]\nWindowState=2\n"));
    }

    // Closed minimized last time with no bounds, the window opens normal and saves its outer
    // bounds in the program's order; the next start shows them and writes them back unchanged.
    void boundsSavedAndRestored() {
        copy = std::make_unique<ProgramCopy>();
        QFile file(copy->SettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Main]\nWindowState=1\n"));
        file.close();
        QByteArray saved;
        for (int start = 0; start < 2; ++start) {
            QProcess* program = nullptr;
            const xcb_window_t w = Start(Url("/title"), CaptionFor("Page avec titre"), &program);
            QVERIFY(w != 0);
            QVERIFY(!x.Maximized(w) && !x.HasState(w, "_NET_WM_STATE_HIDDEN"));
            const auto f = x.Cardinals(w, "_NET_FRAME_EXTENTS"); // left, right, top, bottom
            const QRect bounds = x.Bounds(w).adjusted(-f.at(0), -f.at(2), f.at(1), f.at(3));
            QVERIFY(Close(w, program));
            const QString twips =
                QStringLiteral("[Main]\nWindowState=0\nLeft=%1\nTop=%2\nHeight=%3\nWidth=%4\n")
                    .arg(bounds.x() * 15)
                    .arg(bounds.y() * 15)
                    .arg(bounds.height() * 15)
                    .arg(bounds.width() * 15);
            QCOMPARE(Settings(), start == 0 ? twips.toUtf8() : saved);
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
        QProcess* first = nullptr;
        const xcb_window_t window = Start(Url(page), caption, &first);
        QVERIFY(window != 0);
        QWidget other; // another window has the input when the host starts the program again
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(X11Client::Xdotool("windowactivate", xcb_window_t(other.winId())));
        for (const QString path : {"/echo/normal", "/echo/minimized"}) {
            if (path == "/echo/minimized") {
                QVERIFY(X11Client::Xdotool("windowminimize", window));
                QTRY_VERIFY(x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            }
            QProcess* again = copy->Start({Url(path)});
            QVERIFY(again->waitForFinished(kX11WaitMs) && again->exitCode() == 0);
            QCOMPARE(x.Forms(), std::vector<xcb_window_t>{window});
            QTRY_COMPARE(x.Active(), window);
            QVERIFY(x.Maximized(window) && !x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            QVERIFY(!server.Paths().contains(path) && first->state() == QProcess::Running);
        }
        ProgramCopy::Crash(first);
        QTRY_VERIFY(x.Forms().empty());
        QVERIFY(Start(Url("/echo/after"), CaptionFor("/echo/after"), &first) != 0);
        QVERIFY2(Settings().isEmpty(), "no start wrote settings");
    }

    // Messagerie, Précédent, Suivant, Actualiser and Démarrage from the keyboard.
    void accessKeysNavigate() {
        const QString home = "/echo/home", mail = "/echo/mail";
        const xcb_window_t window = Start(Url(home) + ',' + Url(mail), CaptionFor(home));
        QVERIFY(window != 0);
        const QList<std::tuple<QString, QString, bool>> steps{{"alt+m", mail, true},
                                                              {"alt+p", home, false},
                                                              {"alt+s", mail, false},
                                                              {"alt+a", mail, true},
                                                              {"alt+d", home, true}};
        for (const auto& [keys, path, asked] : steps) {
            const auto requests = server.Paths().count(path);
            QVERIFY(X11Client::PressKeys(window, keys));
            QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor(path), kX11WaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!asked || server.Paths().count(path) > requests, kX11WaitMs);
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
        QVERIFY(X11Client::PressKeys(window, "alt+t"));
        QTRY_COMPARE_WITH_TIMEOUT(dropped, 1, kX11WaitMs);
        QCOMPARE(x.Caption(window), kProduct);
        QVERIFY(X11Client::PressKeys(window, "alt+m"));
        QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor("/echo/mail"), kX11WaitMs);
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(TestProgramE2E)
#include "tst_program_e2e.moc"
