// The real program's toolbar driven by its access keys, as a person uses it, under a window
// manager: what each command asks of the web server and what the caption shows.
#include "support/DesktopTools.h"
#include "support/ProgramCopy.h"
#include "support/TestServer.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

using testsupport::ProgramCopy;
namespace desktop = testsupport::desktop;

namespace {

constexpr int kFirstPageMs = 30000;
constexpr int kPageMs = 15000;

QString CaptionFor(const QString& title) {
    return title + QStringLiteral(" - Navigateur Ulmeco");
}

// A server that reads requests and never answers them: a page that is still loading for as
// long as the browser waits. It tells when the browser gave a request up and closed its
// connection.
class SilentServer : public QObject {
public:
    ~SilentServer() override {
        for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>()) {
            socket->disconnect(this);
        }
    }
    bool Listen() {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    if (socket->readAll().startsWith("GET ")) {
                        ++requests_;
                        connect(socket, &QTcpSocket::disconnected, this, [this] { ++dropped_; });
                    }
                });
            }
        });
        return server_.listen(QHostAddress::LocalHost);
    }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    int Requests() const { return requests_; }
    int Dropped() const { return dropped_; }

private:
    QTcpServer server_;
    int requests_ = 0;
    int dropped_ = 0;
};

} // namespace

class TestToolbarE2E : public QObject {
    Q_OBJECT

    TestServer Server;
    std::unique_ptr<ProgramCopy> Copy;

    int Count(const QString& path) const { return Server.Paths().count(path); }

    // Starts the program with the command line; the main window once its first caption is there.
    desktop::Window Start(const QString& commandLine, const QString& firstCaption) {
        Copy = std::make_unique<ProgramCopy>();
        if (!Copy->Error().isEmpty()) {
            qWarning().noquote() << Copy->Error();
            return 0;
        }
        QProcess* program = Copy->Start({commandLine});
        return desktop::WaitForCaptionOf(program->processId(), firstCaption, kFirstPageMs);
    }

private slots:
    void initTestCase() { QVERIFY(Server.Listen()); }

    void cleanup() {
        if (QTest::currentTestFailed() && Copy) {
            qWarning().noquote() << Copy->Output().right(4000);
        }
        Copy.reset(); // ends the program
    }

    void accessKeysNavigate() {
        const QString home = QStringLiteral("/echo/home");
        const QString mail = QStringLiteral("/echo/mail");
        const desktop::Window window =
            Start(Server.Url(home).toString() + QLatin1Char(',') + Server.Url(mail).toString(),
                  CaptionFor(home));
        QVERIFY(window != 0);
        QCOMPARE(Count(home), 1);

        // Messagerie
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+m")));
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(mail), kPageMs);
        QCOMPARE(Count(mail), 1);
        // Précédent
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+p")));
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(home), kPageMs);
        // Suivant
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+s")));
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(mail), kPageMs);
        // Actualiser: the page is asked for again.
        const int mailRequests = Count(mail);
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+a")));
        QTRY_VERIFY_WITH_TIMEOUT(Count(mail) > mailRequests, kPageMs);
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(mail), kPageMs);
        // Démarrage
        const int homeRequests = Count(home);
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+d")));
        QTRY_VERIFY_WITH_TIMEOUT(Count(home) > homeRequests, kPageMs);
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(home), kPageMs);
    }

    void accessKeyStopsALoadUnderWay() {
        SilentServer silent;
        QVERIFY(silent.Listen());
        const QString mail = QStringLiteral("/echo/after-stop");
        // The home page never comes: the window shows its first caption while it loads.
        const desktop::Window window = Start(silent.Url(QStringLiteral("/pending")) +
                                                 QLatin1Char(',') + Server.Url(mail).toString(),
                                             QStringLiteral("Navigateur Ulmeco"));
        QVERIFY(window != 0);
        QTRY_COMPARE_WITH_TIMEOUT(silent.Requests(), 1, kFirstPageMs);
        QCOMPARE(silent.Dropped(), 0);

        // Arrêter: the browser gives the request up.
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+t")));
        QTRY_COMPARE_WITH_TIMEOUT(silent.Dropped(), 1, kPageMs);
        QCOMPARE(desktop::Caption(window), QStringLiteral("Navigateur Ulmeco"));

        // The window goes on working.
        QVERIFY(desktop::PressKeys(window, QStringLiteral("alt+m")));
        QTRY_COMPARE_WITH_TIMEOUT(desktop::Caption(window), CaptionFor(mail), kPageMs);
        QCOMPARE(silent.Requests(), 1);
    }
};

QTEST_MAIN(TestToolbarE2E)
#include "tst_toolbar_e2e.moc"
