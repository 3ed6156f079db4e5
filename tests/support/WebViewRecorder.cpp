#include "support/WebViewRecorder.h"

WebViewRecorder::WebViewRecorder(platform::WebView& view) : QObject(&view) {
    using platform::WebView;
    connect(&view, &WebView::DownloadBegin, this, [this] { Events << "DownloadBegin"; });
    connect(&view, &WebView::DownloadComplete, this, [this] { Events << "DownloadComplete"; });
    connect(&view, &WebView::NavigateComplete, this, [this] { Events << "NavigateComplete"; });
    connect(&view, &WebView::DocumentComplete, this, [this] { Events << "DocumentComplete"; });
    connect(&view, &WebView::StatusTextChange, this,
            [this](const QString& text) { Events << "StatusTextChange(" + text + ")"; });
    connect(&view, &WebView::ProgressChange, this, [this](int progress, int maximum) {
        Events << QStringLiteral("ProgressChange(%1,%2)").arg(progress).arg(maximum);
    });
    connect(&view, &WebView::NewWindow, this, [this](bool* cancel) {
        Events << "NewWindow";
        *cancel = CancelNewWindow;
    });
}

QStringList WebViewRecorder::StatusTexts() const {
    QStringList texts;
    const QString prefix = QStringLiteral("StatusTextChange(");
    for (const QString& event : Events) {
        if (event.startsWith(prefix)) {
            texts << event.mid(prefix.size()).chopped(1);
        }
    }
    return texts;
}

QStringList WebViewRecorder::LastLoad() const {
    const qsizetype begin = Events.lastIndexOf("DownloadBegin");
    return begin < 0 ? QStringList() : Events.mid(begin);
}
