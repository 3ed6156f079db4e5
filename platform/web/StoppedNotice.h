#pragma once
// What covers a page whose process is gone, in place of its last image: a French notice and the
// button that reloads it.

#include <functional>

typedef struct _GtkWidget GtkWidget;

namespace platform {

inline constexpr char kProcessGoneText[] = "L'affichage de la page s'est arrêté brutalement. "
                                           "Cliquez sur Actualiser pour la recharger.";

// A new, floating, hidden widget; reload runs on a click of "Actualiser" while it lives.
GtkWidget* MakeStoppedNotice(std::function<void()> reload);

} // namespace platform
