// What the web view's events do to the caption, the status bar and the progress bar, and what
// they tell the page tools.
#include "browser/BrowserFrm.h"
#include "browser/BrowserFrmImpl.h"
#include "platform/StatusText.h"

#include <optional>

void BrowserFrm::HideProgress() {
    d->Progress = 0;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(PBar), 0);
    gtk_widget_hide(PBar);
}

void BrowserFrm::UpdateCaption() {
    HideProgress();
    std::string title;
    try {
        if (const std::optional<std::string> documentTitle = WB->DocumentTitle()) {
            title = *documentTitle;
        }
    } catch (...) {
        // An unreadable title counts as an empty one.
        title.clear();
    }
    // The caption holds no more than other programs read of it, the previous-instance search
    // among them: the title gives way, so that the caption always ends with AppCaption.
    const std::string separator = " - ";
    title = platform::CaptionText(title, platform::kCaptionMax -
                                             platform::CharacterCount(separator + AppCaption));
    const std::string caption = title.empty() ? AppCaption : title + separator + AppCaption;
    gtk_window_set_title(GTK_WINDOW(d->Window), caption.c_str());
}

void BrowserFrm::WB_NavigateComplete(const std::string& /*address*/) {
    UpdateCaption();
    d->Tools->PageNavigated();
}

void BrowserFrm::WB_DocumentComplete(const std::string& /*address*/) {
    HideProgress();
}

void BrowserFrm::WB_DownloadBegin() {
    d->Tools->PageLoading(true);
    d->Progress = 0;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(PBar), 0);
    gtk_widget_show(PBar);
}

void BrowserFrm::WB_DownloadComplete() {
    d->Tools->PageLoading(false);
    HideProgress();
}

void BrowserFrm::WB_FullScreenRequested(bool on) {
    d->Tools->PageFullScreen(on);
}

void BrowserFrm::WB_ProgressChange(int progress, int maximum) {
    // Every step goes on whatever the one before did; a value outside the range is not shown.
    if (maximum < 1) {
        return;
    }
    gtk_widget_show(PBar);
    d->ProgressMaximum = maximum;
    if (progress >= 0 && progress <= maximum) {
        d->Progress = progress;
        gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(PBar), double(progress) / maximum);
    }
}

void BrowserFrm::WB_StatusTextChange(const std::string& text) {
    // The whole text is the status; the bar shows what fits on its one line.
    SetStatusText(text);
    if (text.starts_with("http")) {
        LastLinkUrl = text;
    } else if (text.starts_with("javascript")) {
        LastLinkUrl.clear();
    }
    if (text == platform::kDoneStatusText) {
        HideProgress();
    }
}

void BrowserFrm::WB_NewWindow(bool& cancel) {
    if (LastLinkUrl.empty()) {
        return;
    }
    cancel = true;
    WB->Navigate(LastLinkUrl);
}

std::string BrowserFrm::StatusText() const {
    return d->Status;
}

void BrowserFrm::SetStatusText(const std::string& text) {
    d->Status = text;
    GtkStatusbar* bar = GTK_STATUSBAR(StatusBar);
    gtk_statusbar_remove_all(bar, d->StatusContext);
    gtk_statusbar_push(bar, d->StatusContext, platform::ShownStatusText(text).c_str());
}

int BrowserFrm::ProgressValue() const {
    return d->Progress;
}

int BrowserFrm::ProgressMaximum() const {
    return d->ProgressMaximum;
}
