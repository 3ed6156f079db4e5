#pragma once
// The view's print, print preview and save commands, each behind its French dialog.

class QWebEngineView;

namespace platform {

// The print dialog, then the page printed on the chosen printer.
void PrintPage(QWebEngineView* view);
// A preview dialog that shows the page as it would print; it can print from there.
void PreviewPage(QWebEngineView* view);
// The save dialog: complete page, HTML only or single-file web archive.
void SavePage(QWebEngineView* view);

} // namespace platform
