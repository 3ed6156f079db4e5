#pragma once
// The print preview window: the page as printed (a PDF file), shown by the engine's own PDF
// viewer, with "Imprimer" (the print command) and "Fermer". The file goes with the window.

#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GtkWidget GtkWidget;

namespace platform {

// Opens the preview of page's print in pdfPath; returns the preview window.
GtkWidget* ShowPrintPreview(WebKitWebView* page, const std::string& pdfPath);

} // namespace platform
