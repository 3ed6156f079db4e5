#pragma once
// Downloads: where each file goes (the French save dialog, opened on the user's download
// folder) and how it goes, told in French through the status text of the page that started it.

#include <QString>

class QWebEngineDownloadRequest;
class QWidget;

namespace platform {

// Answers the profile's download requests: asks for the path (page saves already have one),
// accepts or cancels, then reports progress and outcome.
void HandleDownload(QWebEngineDownloadRequest* request);

// The folder the save dialogs open on: the desktop's download folder (XDG_DOWNLOAD_DIR, or
// ~/Downloads), made if it is missing, as browsers do; the home folder when it cannot be made.
QString DownloadFolder();

// The real save dialog: the full path chosen, or empty when the user cancels.
QString ChooseDownloadPath(QWidget* parent, const QString& suggestedPath);

} // namespace platform
