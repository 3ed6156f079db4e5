#pragma once
// The main window's keys: what each does. Where a toolbar button does the same, the key runs the
// button's own handler (Bouton_Click with its index).
//
// Escape is the page's key unless the window has something to end: the find bar open, the page
// shown full screen, or a page loading (then it stops the load, as button 4 does).

#include "browser/ButtonTable.h"

#include <QKeyCombination>
#include <Qt>
#include <array>

namespace browser {

enum class KeyCommand {
    Button,     // Bouton_Click(Button)
    Escape,     // close the find bar, leave full screen, or stop a load (Bouton_Click(Button))
    FindInPage, // open the find bar
    ZoomIn,
    ZoomOut,
    ZoomReset,
    FullScreen, // the page area full screen, or back
};

struct KeyBinding {
    QKeyCombination Key;
    KeyCommand Command;
    int Button; // the toolbar button (ButtonIndex), for Button and Escape; -1 otherwise
};

inline constexpr std::array<KeyBinding, 14> kKeyBindings{{
    {Qt::ALT | Qt::Key_Left, KeyCommand::Button, kBackButton},
    {Qt::ALT | Qt::Key_Right, KeyCommand::Button, kForwardButton},
    {QKeyCombination(Qt::Key_F5), KeyCommand::Button, kRefreshButton},
    {Qt::CTRL | Qt::Key_R, KeyCommand::Button, kRefreshButton},
    {QKeyCombination(Qt::Key_Escape), KeyCommand::Escape, kStopButton},
    {Qt::CTRL | Qt::Key_P, KeyCommand::Button, kPrintButton},
    {Qt::CTRL | Qt::Key_S, KeyCommand::Button, kSaveButton},
    {Qt::CTRL | Qt::Key_F, KeyCommand::FindInPage, -1},
    {Qt::CTRL | Qt::Key_Plus, KeyCommand::ZoomIn, -1},
    {Qt::CTRL | Qt::Key_Equal, KeyCommand::ZoomIn, -1},
    {Qt::CTRL | Qt::Key_Minus, KeyCommand::ZoomOut, -1},
    {Qt::CTRL | Qt::Key_0, KeyCommand::ZoomReset, -1},
    {QKeyCombination(Qt::Key_F11), KeyCommand::FullScreen, -1},
    {Qt::ALT | Qt::Key_Home, KeyCommand::Button, kHomeButton},
}};

} // namespace browser
