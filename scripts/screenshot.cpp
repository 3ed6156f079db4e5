// Saves a picture of one X window, with what its child windows show, as a PNG file:
// orvane_screenshot WINDOW OUT.png   (WINDOW: an X window id, decimal or 0x hexadecimal)
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane_screenshot WINDOW OUT.png\n");
        return 2;
    }
    bool ok = false;
    const WId window = QByteArray(argv[1]).toULongLong(&ok, 0);
    if (!ok || window == 0) {
        std::fprintf(stderr, "orvane_screenshot: not a window id: %s\n", argv[1]);
        return 2;
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "orvane_screenshot: could not grab 0x%llx into %s\n",
                     static_cast<unsigned long long>(window), argv[2]);
        return 1;
    }
    return 0;
}
