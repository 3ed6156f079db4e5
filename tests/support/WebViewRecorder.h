#pragma once
// Records the events a web view raises, in order, as readable lines:
//   "DownloadBegin", "ProgressChange(40,100)", "StatusTextChange(Terminé)",
//   "NavigateComplete", "DocumentComplete", "DownloadComplete", "NewWindow"

#include "platform/WebView.h"

#include <QObject>
#include <QStringList>

class WebViewRecorder : public QObject {
    Q_OBJECT
public:
    explicit WebViewRecorder(platform::WebView& view);

    QStringList Events;
    // What the next NewWindow answers with.
    bool CancelNewWindow = false;

    void Clear() { Events.clear(); }
    int Count(const QString& event) const { return int(Events.count(event)); }
    // The status texts raised, in order.
    QStringList StatusTexts() const;
    // The events from the last DownloadBegin on.
    QStringList LastLoad() const;
};
