// The real program as the host application starts it, under openbox, seen and driven from
// outside as another X11 client and a person at the keyboard: the first window, the command
// line, the placement in the settings file, the one-window rule and the access keys.
#include "support/Openbox.h"
#include "support/ProgramCopy.h"
#include "support/TestServer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>

namespace {

const QString kProduct = QStringLiteral("Navigateur Ulmeco");

QString CaptionFor(const QString& title) {
    return title + QStringLiteral(" - ") + kProduct;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestProgramE2E : public QObject {
    Q_OBJECT

    X11Client x;
    std::unique_ptr<Openbox> wm;
    TestServer server;
    std::unique_ptr<ProgramCopy> copy;

    QString Url(const QString& path) const { return server.Url(path).toString(); }
    // Starts the program from a new copy; its main window once the caption is there, else 0.
    xcb_window_t Start(const QString& commandLine, const QString& caption,
                       QProcess** started = nullptr) {
        if (!copy)
            copy = std::make_unique<ProgramCopy>();
        QProcess* program = copy->Start({commandLine});
        if (started)
            *started = program;
        const xcb_window_t window = x.WaitForForm(program->processId());
        return QTest::qWaitFor([&] { return x.Caption(window) == caption; }, kX11WaitMs) ? window
                                                                                         : 0;
    }
    // Closes the window with the close button's access key; true when the program ended well.
    bool Close(xcb_window_t window, QProcess* program) {
        return x.PressKeys(window, QStringLiteral("alt+f")) &&
               program->waitForFinished(kX11WaitMs) &&
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

    // The first start opens maximized; the home page arrives lower-cased and without blanks;
    // the caption shows the product until the page's title comes; closing saves the state only.
    void firstStart() {
        copy = std::make_unique<ProgramCopy>();
        QVERIFY(copy->Ok());
        QProcess* program = copy->Start(
            {QStringLiteral("  HTTP://127.0.0.1:%1/SLOW?MS=4000  ").arg(server.Port())});
        const xcb_window_t window = x.WaitForForm(program->processId());
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
        QVERIFY2(!QFile::exists(copy->SettingsPath()), "nothing is written while the window runs");
        QVERIFY(Close(window, program));
        QCOMPARE(ReadAll(copy->SettingsPath()), QByteArray("[Main]\nWindowState=2\n"));
    }

    // Closed minimized last time with no bounds: the window opens normal, and its bounds are
    // saved in the program's order. The next start shows them and writes them back unchanged.
    void boundsSavedAndRestored() {
        copy = std::make_unique<ProgramCopy>();
        QVERIFY(copy->Ok());
        QFile settings(copy->SettingsPath());
        QVERIFY(settings.open(QIODevice::WriteOnly) &&
                settings.write("[Main]\nWindowState=1\n") > 0);
        settings.close();
        QRect seen;
        QByteArray saved;
        for (int start = 0; start < 2; ++start) {
            QProcess* program = nullptr;
            const xcb_window_t window =
                Start(Url("/title"), CaptionFor("Page avec titre"), &program);
            QVERIFY(window != 0);
            QVERIFY(!x.Maximized(window) && !x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            const QRect bounds = x.OuterBounds(window);
            QVERIFY(Close(window, program));
            if (start == 1) {
                QCOMPARE(bounds, seen);
                QCOMPARE(ReadAll(copy->SettingsPath()), saved);
                break;
            }
            saved = ReadAll(copy->SettingsPath());
            const auto m =
                QRegularExpression("^\\[Main\\]\nWindowState=0\nLeft=(\\d+)\nTop=(\\d+)\n"
                                   "Height=(\\d+)\nWidth=(\\d+)\n$")
                    .match(saved);
            QVERIFY2(m.hasMatch(), saved.constData());
            seen = bounds;
            QCOMPARE(
                QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(4).toInt(),
                      m.captured(3).toInt()),
                QRect(bounds.x() * 15, bounds.y() * 15, bounds.width() * 15, bounds.height() * 15));
        }
    }

    // A later start brings the first window forward (restored when minimized) and ends at once;
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
        QTRY_VERIFY(x.Maximized(window));
        QWidget other; // another window has the input when the host starts the program again
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(X11Client::Activate(static_cast<xcb_window_t>(other.winId())));

        for (const char* path : {"/echo/normal", "/echo/minimized"}) {
            if (path == QLatin1String("/echo/minimized")) {
                QVERIFY(X11Client::Minimize(window));
                QTRY_VERIFY(x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            }
            QProcess* again = copy->Start({Url(path)});
            QVERIFY(again->waitForFinished(kX11WaitMs));
            QCOMPARE(again->exitStatus(), QProcess::NormalExit);
            QCOMPARE(again->exitCode(), 0);
            QCOMPARE(x.Forms(), std::vector<xcb_window_t>{window});
            QTRY_VERIFY(!x.HasState(window, "_NET_WM_STATE_HIDDEN"));
            QTRY_COMPARE(x.Active(), window);
            QVERIFY(x.Maximized(window));
            QVERIFY(!server.Paths().contains(path));
            QCOMPARE(first->state(), QProcess::Running);
        }
        ProgramCopy::Crash(first);
        QTRY_VERIFY(x.Forms().empty());
        QVERIFY(Start(Url("/echo/after"), CaptionFor("/echo/after"), &first) != 0);
        QVERIFY2(!QFile::exists(copy->SettingsPath()), "no start wrote settings");
    }

    // Messagerie, Précédent, Suivant, Actualiser and Démarrage, from the keyboard.
    void accessKeysNavigate() {
        const xcb_window_t window =
            Start(Url("/echo/home") + ',' + Url("/echo/mail"), CaptionFor("/echo/home"));
        QVERIFY(window != 0);
        const QList<std::tuple<QString, QString, bool>> steps{{"alt+m", "/echo/mail", true},
                                                              {"alt+p", "/echo/home", false},
                                                              {"alt+s", "/echo/mail", false},
                                                              {"alt+a", "/echo/mail", true},
                                                              {"alt+d", "/echo/home", true}};
        for (const auto& [keys, path, asked] : steps) {
            const auto requests = server.Paths().count(path);
            QVERIFY(x.PressKeys(window, keys));
            QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor(path), kX11WaitMs);
            if (asked)
                QTRY_COMPARE_WITH_TIMEOUT(server.Paths().count(path), requests + 1, kX11WaitMs);
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
        const QString home = QStringLiteral("http://127.0.0.1:%1/pending").arg(silent.serverPort());
        const xcb_window_t window = Start(home + ',' + Url("/echo/mail"), kProduct);
        QVERIFY(window != 0);
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, kX11WaitMs);
        QCOMPARE(dropped, 0);
        QVERIFY(x.PressKeys(window, QStringLiteral("alt+t")));
        QTRY_COMPARE_WITH_TIMEOUT(dropped, 1, kX11WaitMs);
        QCOMPARE(x.Caption(window), kProduct);
        QVERIFY(x.PressKeys(window, QStringLiteral("alt+m")));
        QTRY_COMPARE_WITH_TIMEOUT(x.Caption(window), CaptionFor("/echo/mail"), kX11WaitMs);
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(TestProgramE2E)
#include "tst_program_e2e.moc"
