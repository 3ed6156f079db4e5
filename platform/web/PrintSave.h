#pragma once
// The print command (GTK's print dialog), the print preview (the page printed to a PDF file and
// shown in a window of the program's own) and the save command (the page as one MHTML file).

#include <string>

typedef struct _WebKitPrintOperation WebKitPrintOperation;

namespace platform {

class WebKitView;

// Runs the print dialog for the view, on the page's own operation when it asked (window.print())
// or on a new one. Returns when the dialog is answered. Nothing while another job runs.
void PrintPage(WebKitView& view, WebKitPrintOperation* pageOperation);

// Prints the page to a PDF file and opens the preview window on it.
void PreviewPage(WebKitView& view);

// Asks where (French save dialog, the download folder proposed) and saves the page as MHTML.
void SavePage(WebKitView& view);

// A file name made of a page's title, without the characters file systems refuse; "page" for
// a page without one.
std::string FileNameForTitle(const std::string& title);

} // namespace platform
