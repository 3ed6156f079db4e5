// What the web view's events do to the caption, the status bar and the progress bar.
#include "platform/StatusText.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/browser/BrowserFrmImpl.h"
#include "qt/platform/CoreText.h"
#include "qt/platform/WindowClass.h"

#include <QLabel>
#include <QProgressBar>
#include <optional>

void BrowserFrm::HideProgress() {
    PBar->setValue(0);
    PBar->setVisible(false);
}

void BrowserFrm::UpdateCaption() {
    HideProgress();
    QString title;
    try {
        if (const std::optional<QString> documentTitle = WB->DocumentTitle()) {
            title = *documentTitle;
        }
    } catch (...) {
        // An unreadable title counts as an empty one.
        title.clear();
    }
    // The caption holds no more than other programs read of it, the previous-instance search
    // among them: the title gives way, so that the caption always ends with AppCaption.
    const QString separator = QStringLiteral(" - ");
    title = platform::FromCore(platform::CaptionText(
        platform::ToCore(title), platform::kCaptionMax - platform::CharacterCount(platform::ToCore(
                                                             separator + AppCaption))));
    platform::SetCaption(*this, title.isEmpty() ? AppCaption : title + separator + AppCaption);
}

void BrowserFrm::WB_NavigateComplete(const QString& /*address*/) {
    UpdateCaption();
}

void BrowserFrm::WB_DocumentComplete(const QString& /*address*/) {
    HideProgress();
}

void BrowserFrm::WB_DownloadBegin() {
    PBar->setValue(0);
    PBar->setVisible(true);
}

void BrowserFrm::WB_DownloadComplete() {
    HideProgress();
}

void BrowserFrm::WB_ProgressChange(int progress, int maximum) {
    // Every step goes on whatever the one before did; the bar silently refuses a value outside
    // its range.
    if (maximum < 1) {
        return;
    }
    PBar->setVisible(true);
    PBar->setMaximum(maximum);
    PBar->setValue(progress);
}

void BrowserFrm::WB_StatusTextChange(const QString& text) {
    // The whole text is the status; the bar shows what fits on its one line.
    d->StatusText->setText(platform::FromCore(platform::ShownStatusText(platform::ToCore(text))));
    if (text.startsWith(QStringLiteral("http"), Qt::CaseSensitive)) {
        LastLinkUrl = text;
    } else if (text.startsWith(QStringLiteral("javascript"), Qt::CaseSensitive)) {
        LastLinkUrl.clear();
    }
    if (text == QString::fromUtf16(platform::kDoneStatusText)) {
        HideProgress();
    }
}

void BrowserFrm::WB_NewWindow(bool& cancel) {
    if (LastLinkUrl.isEmpty()) {
        return;
    }
    cancel = true;
    WB->Navigate(LastLinkUrl);
}
