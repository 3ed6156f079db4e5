#pragma once
// Downloads: where each goes (the French save dialog, the download folder proposed), and how it
// goes, told in the status text of the view that started it.

#include <string>

typedef struct _WebKitDownload WebKitDownload;

namespace platform {

// The desktop's download folder, made when missing; the home folder where none can be had.
std::string DownloadFolder();

// The name a download is offered under: the last part of what the server suggested, without
// control characters and characters file systems refuse, cut; "telechargement" when nothing is
// left.
std::string SafeDownloadName(const std::string& suggested);

// Follows a download the engine starts (the context's download-started).
void FollowDownload(WebKitDownload* download);

} // namespace platform
