// Program entry: see app/Main.cpp for the start-up sequence.
#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
