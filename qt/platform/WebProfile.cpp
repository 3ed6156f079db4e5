#include "qt/platform/WebProfile.h"

#include "qt/platform/Downloads.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace platform {

namespace {

QWebEngineProfile* Profile = nullptr;

// Runs when the application object goes, before the engine's own clean-up (routines run in
// the reverse order of their registration and the engine registers its own when the first
// profile is made, before this one).
void DeleteProfile() {
    delete Profile;
    Profile = nullptr;
}

QWebEngineProfile* MakeProfile() {
    auto* profile = new QWebEngineProfile(QStringLiteral("Orvane"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    profile->setPersistentStoragePath(QDir(data).filePath(QStringLiteral("profil")));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setHttpAcceptLanguage(QStringLiteral("fr-FR,fr;q=0.9,en;q=0.5"));
    profile->setDownloadPath(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));

    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);

    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &HandleDownload);
    return profile;
}

} // namespace

QWebEngineProfile* BrowserProfile() {
    if (Profile == nullptr) {
        Profile = MakeProfile();
        qAddPostRoutine(DeleteProfile);
    }
    return Profile;
}

} // namespace platform
