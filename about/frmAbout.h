#pragma once
// frmAbout: the modal About box on GTK. It shows the program's icon, title, version line and
// description, a legal notice and the maker's web and e-mail addresses. The icon and the two
// addresses are links: under the pointer they show a pointing hand (the address labels also turn
// blue and underlined) and a click opens their target through `navigate`, then closes the
// dialog. OK, Enter and Escape close it without anything else happening.

#include <array>
#include <functional>
#include <gtk/gtk.h>
#include <string>

namespace frmAbout {

// Opens an address in the main window's web view.
using Navigator = std::function<void(const std::string& address)>;

// The dialog's controls, owned by its window.
struct Controls {
    GtkWidget* Bouton = nullptr;
    GtkWidget* picIcon = nullptr;       // an event box around the picture
    std::array<GtkWidget*, 2> WebLbl{}; // labels, each inside an event box of its own
    std::array<GtkWidget*, 7> Lbl{};    // indexes 0, 1, 2, 3, 5 and 6; no label 4
};

// A fresh dialog over owner (which may be null), loaded and not yet shown; it is destroyed when
// closed. Its controls: ControlsOf.
GtkWindow* Build(GtkWindow* owner, Navigator navigate);
const Controls& ControlsOf(GtkWindow* dialog);

// Builds the dialog, shows it modally over owner and returns once it is closed and destroyed.
void ShowModal(GtkWindow* owner, Navigator navigate);

} // namespace frmAbout
