// The floor of the start-up and memory benchmarks: the least a Qt WebEngine browser window can
// be. One view, the address given as the first argument, nothing else.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWebEngineView view;
    if (argc > 1)
        view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    // Orvane's first start opens maximized: the floor shows the same page area, since a larger
    // window costs the engine more to lay out, paint and composite.
    view.showMaximized();
    return app.exec();
}
