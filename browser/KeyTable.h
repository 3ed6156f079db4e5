#pragma once
// The main window's keys: what each does. Where a toolbar button does the same, the key runs the
// button's own handler (Bouton_Click with its index).
//
// The window reads every key before the control that has the keyboard, the web view included,
// so that these keys work whatever has the focus. Escape is the page's key unless the window has
// something to end: the find bar open, the page shown full screen, or a page loading (then it
// stops the load, as button 4 does). The access keys (Alt and a caption's underlined letter) are
// the buttons' own mnemonics, not in this table.

#include "browser/ButtonTable.h"

#include <gdk/gdk.h>

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
    guint Key;                 // GDK keyval, in lower case
    GdkModifierType Modifiers; // Control, Alt (Mod1), Shift: those the key itself does not use
    KeyCommand Command;
    int Button; // the toolbar button (ButtonIndex), for Button and Escape; -1 otherwise
};

inline constexpr GdkModifierType kNoModifier = GdkModifierType(0);

inline constexpr std::array<KeyBinding, 14> kKeyBindings{{
    {GDK_KEY_Left, GDK_MOD1_MASK, KeyCommand::Button, kBackButton},
    {GDK_KEY_Right, GDK_MOD1_MASK, KeyCommand::Button, kForwardButton},
    {GDK_KEY_F5, kNoModifier, KeyCommand::Button, kRefreshButton},
    {GDK_KEY_r, GDK_CONTROL_MASK, KeyCommand::Button, kRefreshButton},
    {GDK_KEY_Escape, kNoModifier, KeyCommand::Escape, kStopButton},
    {GDK_KEY_p, GDK_CONTROL_MASK, KeyCommand::Button, kPrintButton},
    {GDK_KEY_s, GDK_CONTROL_MASK, KeyCommand::Button, kSaveButton},
    {GDK_KEY_f, GDK_CONTROL_MASK, KeyCommand::FindInPage, -1},
    {GDK_KEY_plus, GDK_CONTROL_MASK, KeyCommand::ZoomIn, -1},
    {GDK_KEY_equal, GDK_CONTROL_MASK, KeyCommand::ZoomIn, -1},
    {GDK_KEY_minus, GDK_CONTROL_MASK, KeyCommand::ZoomOut, -1},
    {GDK_KEY_0, GDK_CONTROL_MASK, KeyCommand::ZoomReset, -1},
    {GDK_KEY_F11, kNoModifier, KeyCommand::FullScreen, -1},
    {GDK_KEY_Home, GDK_MOD1_MASK, KeyCommand::Button, kHomeButton},
}};

// The binding of a key (its keyval in lower case, a keypad key as its main twin) pressed with
// these modifiers (those the key used to give its keyval taken away); nullptr for none.
constexpr const KeyBinding* FindKeyBinding(guint key, GdkModifierType modifiers) {
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.Key == key && binding.Modifiers == modifiers) {
            return &binding;
        }
    }
    return nullptr;
}

} // namespace browser
