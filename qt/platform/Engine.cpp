#include "qt/platform/Engine.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <unistd.h>

namespace platform {

namespace {

bool OnWayland() {
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qgetenv("XDG_SESSION_TYPE").compare("wayland", Qt::CaseInsensitive) == 0;
}

void AddChromiumFlag(const QByteArray& name, const QByteArray& flag) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains(name)) {
        return;
    }
    if (!flags.isEmpty()) {
        flags += ' ';
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

} // namespace

void PrepareEngine() {
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("orvane : lancé en tant que root, le bac à sable du moteur web est désactivé.\n",
                   stderr);
    }
    if (qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") &&
        OnWayland()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    AddChromiumFlag("--lang", "--lang=fr");
}

void InstallTranslations(QCoreApplication& app) {
    auto* qtbase = new QTranslator(&app);
    if (qtbase->load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtbase);
    } else {
        delete qtbase;
    }
}

} // namespace platform
