#pragma once
// A window tree held in memory: windows with caption, class, children (topmost first) and a
// minimised flag. It records the calls that change windows and the buffer size of each text
// read, and cuts texts to that size as the platform does.

#include "platform/StatusText.h"
#include "platform/WindowTree.h"

#include <QList>
#include <QMap>
#include <QStringList>

class FakeWindowTree : public platform::WindowTree {
public:
    using Hwnd = platform::Hwnd;
    static constexpr Hwnd Desktop = 1;
    struct Window {
        QString caption, className;
        bool iconic = false;
        QList<Hwnd> children; // topmost first
        Hwnd parent = 0;
    };

    // Adds a window below the existing children of parent; returns its handle.
    Hwnd Add(const QString& caption, const QString& className, Hwnd parent = Desktop) {
        Windows[next] = Window{caption, className, false, {}, parent};
        Windows[parent].children << next;
        return next++;
    }

    Hwnd GetDesktopWindow() override { return Desktop; }
    Hwnd GetWindow(Hwnd window, int command) override {
        if (command == platform::GW_CHILD) {
            return Windows.value(window).children.value(0);
        }
        const QList<Hwnd> siblings = Windows.value(Windows.value(window).parent).children;
        const bool follows = command == platform::GW_HWNDNEXT && siblings.contains(window);
        return follows ? siblings.value(siblings.indexOf(window) + 1) : 0;
    }
    QString GetWindowText(Hwnd window, int maxCount) override {
        BufferSizes << maxCount;
        return platform::FirstCharacters(Windows.value(window).caption, maxCount - 1);
    }
    QString GetClassName(Hwnd window, int maxCount) override {
        BufferSizes << maxCount;
        return platform::FirstCharacters(Windows.value(window).className, maxCount - 1);
    }
    bool IsIconic(Hwnd window) override { return Windows.value(window).iconic; }
    bool ShowWindow(Hwnd window, int command) override {
        Calls << QStringLiteral("ShowWindow(%1,%2)").arg(window).arg(command);
        Windows[window].iconic = Windows[window].iconic && command != platform::SW_RESTORE;
        return true;
    }
    bool SetForegroundWindow(Hwnd window) override {
        Calls << QStringLiteral("SetForegroundWindow(%1)").arg(window);
        return true;
    }

    QMap<Hwnd, Window> Windows{{Desktop, Window{}}};
    QStringList Calls;
    QList<int> BufferSizes;

private:
    Hwnd next = Desktop + 1;
};
