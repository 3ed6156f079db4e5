#pragma once
// A window tree held in memory: windows with caption, class, children (topmost first) and a
// minimised flag. It records the calls that change windows, and cuts texts to the buffer size
// as the platform does.

#include "platform/StatusText.h"
#include "platform/WindowTree.h"

#include <QList>
#include <QMap>
#include <QStringList>

class FakeWindowTree : public platform::WindowTree {
public:
    static constexpr platform::Hwnd Desktop = 1;

    struct Window {
        QString caption;
        QString className;
        bool iconic = false;
        QList<platform::Hwnd> children; // topmost first
        platform::Hwnd parent = 0;
    };

    // Adds a window below the existing children of parent; returns its handle.
    platform::Hwnd Add(const QString& caption, const QString& className,
                       platform::Hwnd parent = Desktop) {
        const platform::Hwnd handle = next++;
        Windows[handle] = Window{caption, className, false, {}, parent};
        Windows[parent].children << handle;
        return handle;
    }

    platform::Hwnd GetDesktopWindow() override { return Desktop; }
    platform::Hwnd GetWindow(platform::Hwnd window, int command) override {
        if (!Windows.contains(window))
            return 0;
        if (command == platform::GW_CHILD) {
            const auto& children = Windows[window].children;
            return children.isEmpty() ? 0 : children.first();
        }
        if (command == platform::GW_HWNDNEXT) {
            const auto& siblings = Windows[Windows[window].parent].children;
            const qsizetype at = siblings.indexOf(window);
            return at + 1 < siblings.size() ? siblings[at + 1] : 0;
        }
        return 0;
    }
    QString GetWindowText(platform::Hwnd window, int maxCount) override {
        BufferSizes << maxCount;
        return platform::FirstCharacters(Windows.value(window).caption, maxCount - 1);
    }
    QString GetClassName(platform::Hwnd window, int maxCount) override {
        BufferSizes << maxCount;
        return platform::FirstCharacters(Windows.value(window).className, maxCount - 1);
    }
    bool IsIconic(platform::Hwnd window) override { return Windows.value(window).iconic; }
    bool ShowWindow(platform::Hwnd window, int command) override {
        Calls << QStringLiteral("ShowWindow(%1,%2)").arg(window).arg(command);
        if (command == platform::SW_RESTORE)
            Windows[window].iconic = false;
        return true;
    }
    bool SetForegroundWindow(platform::Hwnd window) override {
        Calls << QStringLiteral("SetForegroundWindow(%1)").arg(window);
        return true;
    }

    QMap<platform::Hwnd, Window> Windows{{Desktop, Window{}}};
    QStringList Calls;
    QList<int> BufferSizes;

private:
    platform::Hwnd next = Desktop + 1;
};
