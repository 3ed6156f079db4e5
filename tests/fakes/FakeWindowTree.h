#pragma once
// A window tree in memory: caption, class, children (topmost first), minimised flag. It records
// the calls that change windows and each text read's buffer size, and cuts texts to it.
#include "platform/StatusText.h"
#include "platform/WindowTree.h"

#include <QMap>
#include <QStringList>

class FakeWindowTree : public platform::WindowTree {
public:
    using Hwnd = platform::Hwnd;
    static constexpr Hwnd Desktop = 1;
    struct Window {
        QString caption, className;
        bool iconic = false;
        QList<Hwnd> children;
        Hwnd parent = 0;
    };

    Hwnd Add(const QString& caption, const QString& className, Hwnd parent = Desktop) {
        Windows[Hwnd(Windows.size() + 1)] = Window{caption, className, false, {}, parent};
        Windows[parent].children << Hwnd(Windows.size());
        return Hwnd(Windows.size());
    }
    Hwnd GetDesktopWindow() override { return Desktop; }
    Hwnd GetWindow(Hwnd window, int command) override {
        const QList<Hwnd> siblings = Windows.value(Windows.value(window).parent).children;
        return command == platform::GW_CHILD ? Windows.value(window).children.value(0)
               : command == platform::GW_HWNDNEXT && siblings.contains(window)
                   ? siblings.value(siblings.indexOf(window) + 1)
                   : 0;
    }
    QString GetWindowText(Hwnd window, int size) override {
        return Cut(Windows.value(window).caption, size);
    }
    QString GetClassName(Hwnd window, int size) override {
        return Cut(Windows.value(window).className, size);
    }
    bool IsIconic(Hwnd window) override { return Windows.value(window).iconic; }
    bool ShowWindow(Hwnd window, int command) override {
        Calls << QString("ShowWindow(%1,%2)").arg(window).arg(command);
        Windows[window].iconic = Windows[window].iconic && command != platform::SW_RESTORE;
        return true;
    }
    bool SetForegroundWindow(Hwnd window) override {
        Calls << QString("SetForegroundWindow(%1)").arg(window);
        return true;
    }

    QMap<Hwnd, Window> Windows{{Desktop, Window{}}};
    QStringList Calls;
    QList<int> BufferSizes;

private:
    QString Cut(const QString& text, int size) {
        return platform::FirstCharacters(text, (BufferSizes << size).last() - 1);
    }
};
