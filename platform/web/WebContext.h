#pragma once
// The engine's profile, shared by every view: data under $XDG_DATA_HOME/orvane, cache under
// $XDG_CACHE_HOME/orvane, cookies kept in SQLite, pages' language French, certificate errors
// refused, the sandbox as PrepareEngine decided, and the download hook.

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitSettings WebKitSettings;

namespace platform {

// Made at the first call, lives as long as the program.
WebKitWebContext* SharedWebContext();

// The settings every view starts with; on a software display, no hardware acceleration.
WebKitSettings* SharedWebSettings();

} // namespace platform
