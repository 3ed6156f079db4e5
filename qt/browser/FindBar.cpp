#include "qt/browser/FindBar.h"

#include "qt/platform/WebView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace browser {

namespace {
// Room between the bar and the view's right edge, in pixels.
constexpr int kMargin = 4;
} // namespace

QString MatchCountText(int numberOfMatches) {
    if (numberOfMatches <= 0) {
        return QStringLiteral("Aucun résultat");
    }
    if (numberOfMatches == 1) {
        return QStringLiteral("1 résultat");
    }
    return QStringLiteral("%1 résultats").arg(numberOfMatches);
}

FindBar::FindBar(platform::WebView& view, QWidget* parent) : QFrame(parent), View(view) {
    setObjectName(QStringLiteral("FindBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setAccessibleName(QStringLiteral("Recherche dans la page"));

    Text = new QLineEdit(this);
    Text->setObjectName(QStringLiteral("FindText"));
    Text->setPlaceholderText(QStringLiteral("Rechercher dans la page"));
    Text->setAccessibleName(QStringLiteral("Rechercher dans la page"));
    Text->setClearButtonEnabled(true);
    Text->installEventFilter(this);

    Previous = new QPushButton(QStringLiteral("Précédent"), this);
    Previous->setObjectName(QStringLiteral("FindPrevious"));
    Previous->setToolTip(QStringLiteral("Résultat précédent (Maj+Entrée)"));
    Next = new QPushButton(QStringLiteral("Suivant"), this);
    Next->setObjectName(QStringLiteral("FindNext"));
    Next->setToolTip(QStringLiteral("Résultat suivant (Entrée)"));
    MatchCase = new QCheckBox(QStringLiteral("Respecter la casse"), this);
    MatchCase->setObjectName(QStringLiteral("FindMatchCase"));
    Count = new QLabel(this);
    Count->setObjectName(QStringLiteral("FindCount"));
    Count->setTextFormat(Qt::PlainText);
    CloseButton = new QToolButton(this);
    CloseButton->setObjectName(QStringLiteral("FindClose"));
    CloseButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    CloseButton->setToolTip(QStringLiteral("Fermer la recherche (Échap)"));
    CloseButton->setAccessibleName(QStringLiteral("Fermer la recherche"));
    CloseButton->setAutoRaise(true);

    for (QWidget* control : std::initializer_list<QWidget*>{Previous, Next, MatchCase}) {
        // Clicking them leaves the keyboard in the text, where Enter goes on searching.
        control->setFocusPolicy(Qt::TabFocus);
        control->installEventFilter(this);
    }
    CloseButton->setFocusPolicy(Qt::TabFocus);
    CloseButton->installEventFilter(this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 4, 4);
    row->addWidget(Text);
    row->addWidget(Previous);
    row->addWidget(Next);
    row->addWidget(MatchCase);
    row->addWidget(Count);
    row->addWidget(CloseButton);
    Text->setMinimumWidth(Text->fontMetrics().averageCharWidth() * 24);
    // Room for the longest count text, so that the bar keeps its width while counting.
    Count->setMinimumWidth(Count->fontMetrics().horizontalAdvance(MatchCountText(999)));

    connect(Text, &QLineEdit::textEdited, this, [this] { Find(false); });
    connect(Next, &QPushButton::clicked, this, &FindBar::FindNext);
    connect(Previous, &QPushButton::clicked, this, &FindBar::FindPrevious);
    connect(MatchCase, &QCheckBox::toggled, this, [this] { Find(false); });
    connect(CloseButton, &QToolButton::clicked, this, &FindBar::Close);
    hide();
}

void FindBar::Open() {
    const bool wasOpen = isVisible();
    adjustSize();
    show();
    raise();
    Text->setFocus(Qt::ShortcutFocusReason);
    Text->selectAll();
    if (!wasOpen && !Text->text().isEmpty()) {
        Find(false); // the highlight went when the bar closed
    }
}

void FindBar::Close() {
    const bool wasOpen = isVisible();
    hide();
    ++Searches;
    Count->clear();
    View.FindText(QString(), false, MatchCase->isChecked(), {});
    View.SetFocus();
    if (wasOpen) {
        emit Closed();
    }
}

void FindBar::FindNext() {
    Find(false);
    Text->setFocus();
}

void FindBar::FindPrevious() {
    Find(true);
    Text->setFocus();
}

void FindBar::Find(bool backward) {
    const quint64 search = ++Searches;
    const QString text = Text->text();
    if (text.isEmpty()) {
        // Nothing to find: the highlight of an earlier text goes.
        Count->clear();
        View.FindText(QString(), false, MatchCase->isChecked(), {});
        return;
    }
    QPointer<FindBar> self(this);
    View.FindText(text, backward, MatchCase->isChecked(), [self, search](int, int matches) {
        if (self) {
            self->ShowResult(search, matches);
        }
    });
}

void FindBar::ShowResult(quint64 search, int numberOfMatches) {
    if (search == Searches) {
        Count->setText(MatchCountText(numberOfMatches));
    }
}

void FindBar::PlaceOver(const QRect& viewArea) {
    const QSize size = sizeHint().boundedTo(viewArea.size());
    const int left = std::max(viewArea.left(), viewArea.right() + 1 - kMargin - size.width());
    setGeometry(left, viewArea.top(), size.width(), size.height());
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (key->key() == Qt::Key_Escape || (enter && watched == Text)) {
            // The bar's keys: the window's own Escape does not take them first.
            if (event->type() == QEvent::KeyPress) {
                if (key->key() == Qt::Key_Escape) {
                    Close();
                } else {
                    Find(key->modifiers().testFlag(Qt::ShiftModifier));
                }
            }
            event->accept();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace browser
