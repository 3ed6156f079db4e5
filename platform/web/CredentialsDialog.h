#pragma once
// The French dialog asking a site's or a proxy's user name and password.

#include "platform/web/WebViewServices.h"

#include <optional>
#include <string>

namespace platform {

// The question the dialog asks, in French.
std::string CredentialsQuestionText(const CredentialsQuestion& question);

// Runs the dialog (modal over parent's window); nothing when the user cancels.
std::optional<Credentials> AskCredentials(GtkWidget* parent, const CredentialsQuestion& question);

} // namespace platform
