#include "qt/about/frmAbout.h"

#include "qt/about/ProgramInfo.h"
#include "qt/platform/Twips.h"
#include "qt/platform/WindowFrame.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

// The maker's addresses that the links open.
const QString kMakerHost = QString::fromUtf8(ProgramInfo::kMakerHost);
const QString kMakerWeb = QString::fromUtf8(ProgramInfo::kMakerWeb);
const QString kMakerEmail = QString::fromUtf8(ProgramInfo::kMakerEmail);

// The property that holds a link's target.
constexpr char kTagProperty[] = "Tag";

struct Geometry {
    int Left, Top, Width, Height; // twips, in the client area
};

struct LabelDesign {
    int Index;
    Geometry Bounds;
    const char* Text; // UTF-8
};

// The plain labels in creation order; `Lbl`(4) does not exist.
constexpr std::array<LabelDesign, 6> kLblDesign{{
    {6, {240, 1680, 795, 225}, "Email :"},
    {5, {240, 1440, 795, 225}, "Web :"},
    {3, {240, 1200, 3195, 225}, ProgramInfo::kLegalNotice},
    {2, {1320, 840, 4455, 225}, "Description"},
    {0, {1320, 240, 4451, 360}, "Titre de l'application"},
    {1, {1320, 600, 4451, 225}, "Version"},
}};
constexpr std::array<Geometry, 2> kWebLblBounds{{{840, 1440, 1815, 255}, {840, 1680, 1815, 255}}};
constexpr Geometry kBoutonBounds{4560, 1440, 1215, 375};
constexpr int kPicIconLeft = 240;
constexpr int kPicIconTop = 240;
constexpr int kClientWidth = 5925;
constexpr int kClientHeight = 1950;

// Tab order: picIcon, Lbl 2, 0, 1, 3, 5, 6, WebLbl 0, 1, OK.
constexpr std::array<int, 6> kLblTabOrder{2, 0, 1, 3, 5, 6};

// Colours as 0x00BBGGRR values.
constexpr unsigned kBlack = 0x000000;
constexpr unsigned kPureBlue = 0xFF0000;

QColor FromBgr(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QRect ToPixels(const Geometry& g) {
    return QRect(platform::TwipsToPixelsX(g.Left), platform::TwipsToPixelsY(g.Top),
                 platform::TwipsToPixelsX(g.Width), platform::TwipsToPixelsY(g.Height));
}

void SetForeColor(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

void SetFontUnderline(QWidget* control, bool underline) {
    QFont font = control->font();
    font.setUnderline(underline);
    control->setFont(font);
}

QLabel* NewLabel(QWidget* parent, const Geometry& bounds, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(ToPixels(bounds));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Labels take the system button-text colour unless told otherwise.
    SetForeColor(label, label->palette().color(QPalette::ButtonText));
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget* owner, Navigator navigate)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      Navigate(std::move(navigate)) {
    setWindowTitle(QStringLiteral("\u00c0 propos de"));
    setWindowIcon(QIcon(QStringLiteral(":/about/about-icon.png")));
    // The dialog's own font: a plain sans-serif at 8 points, which the labels' heights in
    // twips were made for.
    QFont dialogFont(QStringLiteral("Sans Serif"), 8);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);
    setFixedSize(platform::TwipsToPixelsX(kClientWidth), platform::TwipsToPixelsY(kClientHeight));

    Bouton = new QPushButton(QStringLiteral("&OK"), this);
    Bouton->setGeometry(ToPixels(kBoutonBounds));
    Bouton->setIcon(QIcon(QStringLiteral(":/about/tick.png")));
    Bouton->setIconSize(QSize(16, 16));
    Bouton->setDefault(true);
    connect(Bouton, &QPushButton::clicked, this, [this] { Bouton_Click(); });

    // The program's icon, sized to its picture; the host name is its target.
    picIcon = new QLabel(this);
    const QPixmap picture = QtProgramInfo::ProgramIcon().pixmap(QSize(48, 48));
    picIcon->setPixmap(picture);
    picIcon->setGeometry(
        QRect(QPoint(platform::TwipsToPixelsX(kPicIconLeft), platform::TwipsToPixelsY(kPicIconTop)),
              picture.deviceIndependentSize().toSize()));
    picIcon->setProperty(kTagProperty, kMakerHost);

    WebLbl[1] = NewLabel(this, kWebLblBounds[1], kMakerEmail);
    WebLbl[1]->setProperty(kTagProperty, QString::fromStdString(ProgramInfo::MailTarget()));
    WebLbl[0] = NewLabel(this, kWebLblBounds[0], kMakerWeb);
    WebLbl[0]->setProperty(kTagProperty, kMakerWeb);
    for (const LabelDesign& design : kLblDesign) {
        Lbl[design.Index] = NewLabel(this, design.Bounds, QString::fromUtf8(design.Text));
        // No event of these labels is handled; "Web :" and "Email :" reach over the start of
        // the addresses, which must get the pointer there.
        Lbl[design.Index]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    SetForeColor(Lbl[2], FromBgr(kBlack));
    SetForeColor(Lbl[0], FromBgr(kBlack));
    QFont titleFont(QStringLiteral("MS Sans Serif"), 12, QFont::Bold);
    titleFont.setStyleHint(QFont::SansSerif);
    Lbl[0]->setFont(titleFont);

    QWidget* previous = picIcon;
    for (const int index : kLblTabOrder) {
        setTabOrder(previous, Lbl[index]);
        previous = Lbl[index];
    }
    setTabOrder(previous, WebLbl[0]);
    setTabOrder(WebLbl[0], WebLbl[1]);
    setTabOrder(WebLbl[1], Bouton);

    // Pointer moves over the links arrive without a button pressed too.
    picIcon->setMouseTracking(true);
    for (QLabel* label : WebLbl) {
        label->setMouseTracking(true);
    }
    // Key preview: the dialog sees every key before the control that has the focus.
    qApp->installEventFilter(this);

    Form_Load();
}

frmAbout::~frmAbout() {
    qApp->removeEventFilter(this);
}

void frmAbout::ShowModal(QWidget* owner, Navigator navigate) {
    frmAbout dialog(owner, std::move(navigate));
    dialog.exec();
}

void frmAbout::setVisible(bool visible) {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (visible && owner != nullptr && !isVisible()) {
        // The dialog gets the same window frame as its owner: centre the outer bounds, then keep
        // them on the owner's screen.
        const QRect ownerFrame = owner->frameGeometry();
        const QMargins frame = platform::FrameMargins(*owner);
        QRect outer(QPoint(), size().grownBy(frame));
        outer.moveCenter(ownerFrame.center());
        const QRect screen = owner->screen()->availableGeometry();
        outer.moveLeft(std::clamp(outer.left(), screen.left(), screen.right() - outer.width()));
        outer.moveTop(std::clamp(outer.top(), screen.top(), screen.bottom() - outer.height()));
        move(outer.topLeft()); // a window's position is that of its frame
    }
    QDialog::setVisible(visible);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("\u00c0 propos de ") + QtProgramInfo::Title());
    Lbl[1]->setText(QtProgramInfo::VersionLine(QtProgramInfo::Major, QtProgramInfo::Minor,
                                               QtProgramInfo::Revision));
    Lbl[0]->setText(QtProgramInfo::Title());
    Lbl[2]->setText(QtProgramInfo::Description());
}

void frmAbout::Form_KeyPress(int& keyAscii) {
    if (keyAscii == 27) {
        keyAscii = 0;
        Bouton_Click();
    }
}

void frmAbout::Bouton_Click() {
    accept();
}

void frmAbout::SetHovered(QLabel* link, bool hovered) {
    if (hovered == (Hovered == link)) {
        return;
    }
    if (hovered && Hovered != nullptr) {
        SetHovered(Hovered, false);
    }
    Hovered = hovered ? link : nullptr;
    if (hovered) {
        link->setCursor(Qt::PointingHandCursor);
    } else {
        link->unsetCursor();
    }
    if (link != picIcon) {
        SetForeColor(link, FromBgr(hovered ? kPureBlue : kBlack));
        SetFontUnderline(link, hovered);
    }
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        return PreviewKey(widget, event);
    }
    return LinkPointerEvent(widget, event);
}

bool frmAbout::PreviewKey(QWidget* receiver, QEvent* event) {
    // A key goes first to the focused control (or the dialog), then to its parents: preview it
    // once, at its first receiver.
    QWidget* first = focusWidget() != nullptr ? focusWidget() : this;
    if (receiver != first) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    int keyAscii = 0;
    if (key->key() == Qt::Key_Escape) {
        keyAscii = 27;
    } else if (!key->text().isEmpty()) {
        keyAscii = key->text().at(0).unicode();
    } else {
        return false;
    }
    Form_KeyPress(keyAscii);
    return keyAscii == 0;
}

bool frmAbout::LinkPointerEvent(QWidget* control, QEvent* event) {
    if (control != picIcon && control != WebLbl[0] && control != WebLbl[1]) {
        return false;
    }
    auto* link = static_cast<QLabel*>(control);
    switch (event->type()) {
    case QEvent::Enter:
        SetHovered(link, true);
        return false;
    case QEvent::MouseMove:
        // A move with a button held is no hover.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
            SetHovered(link, true);
        }
        return false;
    case QEvent::Leave:
        SetHovered(link, false);
        return false;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (Hovered != link || mouse->button() != Qt::LeftButton ||
            !link->rect().contains(mouse->position().toPoint())) {
            return false;
        }
        Navigate(link->property(kTagProperty).toString());
        accept();
        return true;
    }
    default:
        return false;
    }
}
