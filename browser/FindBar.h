#pragma once
// The find bar: a small panel that floats over the web view and finds text in the page.
//
// Typing searches at once; Enter (or "Suivant") selects the next match, Shift+Enter (or
// "Précédent") the previous one; "Respecter la casse" searches again with the letters' case
// kept. The label says how many matches the page holds. Escape (the window's key) or the close
// button hides it, clears the highlight and gives the keyboard back to the page.
//
// The bar has a window of its own, stacked over the view's, and takes no part in the window's
// layout: PlaceOver says where it stands at the top-right corner of the view's area.

#include <gtk/gtk.h>

#include <memory>

namespace platform {
class WebView;
}

namespace browser {

class FindBar {
public:
    explicit FindBar(platform::WebView& view);
    ~FindBar();
    FindBar(const FindBar&) = delete;
    FindBar& operator=(const FindBar&) = delete;

    // The bar's top widget, to put in the window.
    GtkWidget* Widget() const { return Box; }
    bool Shown() const;
    // Shows the bar over the view with its text selected, ready for typing.
    void Open();
    // Hides the bar and clears the page's highlight; the page takes the keyboard.
    void Close();
    void FindNext();
    void FindPrevious();
    // Puts the bar's window over every other child window of the container.
    void Raise();
    // The bar's rectangle at the top-right corner of the view's area (the container's pixels).
    GdkRectangle PlaceOver(const GdkRectangle& viewArea) const;

    GtkWidget* Text = nullptr; // GtkSearchEntry
    GtkWidget* Previous = nullptr;
    GtkWidget* Next = nullptr;
    GtkWidget* MatchCase = nullptr; // GtkCheckButton
    GtkWidget* Count = nullptr;     // GtkLabel
    GtkWidget* CloseButton = nullptr;

private:
    void Find(bool backward);
    void ShowResult(unsigned long search, int numberOfMatches);

    platform::WebView& View;
    GtkWidget* Box = nullptr; // GtkEventBox, the bar's own window
    // Counts the searches asked for, so that the answer to an older one is dropped.
    unsigned long Searches = 0;
    // Held while the bar lives: an answer arriving later finds it gone.
    std::shared_ptr<FindBar*> Self = std::make_shared<FindBar*>(this);
};

} // namespace browser
