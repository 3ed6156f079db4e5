#pragma once
// The engine profile every view shares: persistent and named, so that cookies and sign-ins
// survive a restart.

class QWebEngineProfile;

namespace platform {

// The profile "Orvane", created on first use; its storage lies in the user's data folder. It
// lives until the application ends.
QWebEngineProfile* BrowserProfile();

} // namespace platform
