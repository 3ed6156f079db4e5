// orvane_testserver: the test web server as a program of its own, for tests that drive a
// separate orvane process. Prints "PORT <n>" once listening, then one line per request.
// Usage: orvane_testserver [port]

#include "support/TestServer.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const quint16 port = args.size() > 1 ? args[1].toUShort() : 0;

    TestServer server;
    if (!server.Listen(port)) {
        QTextStream(stderr) << "orvane_testserver: cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << "PORT " << server.Port() << Qt::endl;
    QObject::connect(&server, &TestServer::RequestLine,
                     [&out](const QString& line) { out << line << Qt::endl; });
    return app.exec();
}
