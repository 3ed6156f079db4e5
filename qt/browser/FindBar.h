#pragma once
// The find bar: a small panel that floats over the web view and finds text in the page.
//
// Typing searches at once; Enter (or "Suivant") selects the next match, Shift+Enter (or
// "Précédent") the previous one; "Respecter la casse" searches again with the letters' case
// kept. The label says how many matches the page holds. Escape in the bar, or its close button,
// hides it, clears the highlight and gives the keyboard back to the page.
//
// The bar is a child of the window, raised over the view; it takes no part in the window's
// layout: PlaceOver puts it at the top-right corner of the view's area.

#include <QFrame>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace platform {
class WebView;
}

namespace browser {

// "Aucun résultat", "1 résultat", "3 résultats"
QString MatchCountText(int numberOfMatches);

class FindBar : public QFrame {
    Q_OBJECT
public:
    FindBar(platform::WebView& view, QWidget* parent);

    // Shows the bar over the view with its text selected, ready for typing.
    void Open();
    // Hides the bar and clears the page's highlight; the page takes the keyboard.
    void Close();
    void FindNext();
    void FindPrevious();
    // Puts the bar at the top-right corner of the view's area (parent coordinates).
    void PlaceOver(const QRect& viewArea);

    QLineEdit* Text = nullptr;
    QPushButton* Previous = nullptr;
    QPushButton* Next = nullptr;
    QCheckBox* MatchCase = nullptr;
    QLabel* Count = nullptr;
    QToolButton* CloseButton = nullptr;

signals:
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(bool backward);
    void ShowResult(quint64 search, int numberOfMatches);

    platform::WebView& View;
    // Counts the searches asked for, so that the answer to an older one is dropped.
    quint64 Searches = 0;
};

} // namespace browser
