#include "platform/web/WebContext.h"

#include "platform/web/Downloads.h"
#include "platform/web/Engine.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <string>

namespace platform {

namespace {

// The program's own folder below a base folder, made private to the user.
std::string PrivateFolder(const char* base) {
    gchar* joined = g_build_filename(base, "orvane", nullptr);
    std::string folder = joined;
    g_free(joined);
    g_mkdir_with_parents(folder.c_str(), 0700);
    g_chmod(folder.c_str(), 0700);
    return folder;
}

WebKitWebContext* MakeContext() {
    const std::string data = PrivateFolder(g_get_user_data_dir());
    const std::string cache = PrivateFolder(g_get_user_cache_dir());
    WebKitWebsiteDataManager* manager = WEBKIT_WEBSITE_DATA_MANAGER(
        g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "base-data-directory", data.c_str(),
                     "base-cache-directory", cache.c_str(), nullptr));
    webkit_website_data_manager_set_tls_errors_policy(manager, WEBKIT_TLS_ERRORS_POLICY_FAIL);
    WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
    g_object_unref(manager); // the context keeps it

    const std::string cookies = data + "/cookies.sqlite";
    webkit_cookie_manager_set_persistent_storage(webkit_web_context_get_cookie_manager(context),
                                                 cookies.c_str(),
                                                 WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    webkit_web_context_set_sandbox_enabled(context, SandboxEnabled() ? TRUE : FALSE);
    static const gchar* const languages[] = {"fr-FR", "fr", nullptr};
    webkit_web_context_set_preferred_languages(context, languages);
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    g_signal_connect(context, "download-started",
                     G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download, gpointer) {
                         FollowDownload(download);
                     }),
                     nullptr);
    return context;
}

WebKitSettings* MakeSettings() {
    WebKitSettings* settings = webkit_settings_new();
    if (SoftwareDisplay()) {
        webkit_settings_set_hardware_acceleration_policy(settings,
                                                         WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    }
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    return settings;
}

} // namespace

WebKitWebContext* SharedWebContext() {
    static WebKitWebContext* const context = MakeContext();
    return context;
}

WebKitSettings* SharedWebSettings() {
    static WebKitSettings* const settings = MakeSettings();
    return settings;
}

} // namespace platform
