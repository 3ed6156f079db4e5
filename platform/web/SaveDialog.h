#pragma once
// The French save dialog (GTK's file chooser, French from GTK's catalogue).

#include <string>

typedef struct _GtkWidget GtkWidget;

namespace platform {

// The file chosen, or empty when the user cancels. suggested: the full path proposed.
std::string ChooseSavePath(GtkWidget* parent, const std::string& caption,
                           const std::string& suggested);

} // namespace platform
