#pragma once
// The French dialog that asks for a user name and a password when a site or a proxy demands them.

#include "qt/platform/WebViewServices.h"

namespace platform {

// Shows the dialog modally; nothing when the user cancels.
std::optional<Credentials> AskCredentials(QWidget* parent, const QUrl& url, const QString& realm,
                                          const QString& proxyHost);

} // namespace platform
