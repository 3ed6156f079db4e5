#include "platform/web/Engine.h"

#include "platform/web/EngineChoice.h"
#include "platform/web/XcbOpenGLProbe.h"

#include <gdk/gdk.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

bool Software = false;
bool Sandboxed = false;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// True when the program is found as WebKit looks for it: in its own folder, else on PATH.
bool ProgramThere(const char* name) {
    if (access((std::string("/usr/bin/") + name).c_str(), X_OK) == 0) {
        return true;
    }
    const std::string path = Variable("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = path.substr(start, end - start);
        if (!folder.empty() && access((folder + '/' + name).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Tries what bubblewrap does first: a child makes a user namespace, then a mount namespace in it.
bool UserNamespacesCanBeMade() {
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        _exit(unshare(CLONE_NEWUSER) == 0 && unshare(CLONE_NEWNS) == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void PrepareLanguage() {
    const char* given = std::setlocale(LC_ALL, "");
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    const std::string messagesLocale = given != nullptr && messages != nullptr ? messages : "C";
    if (const auto instead = LocaleInstead(messagesLocale)) {
        std::setlocale(LC_ALL, instead->c_str());
    }
    if (const auto language = LanguageInstead(Variable("LANGUAGE"), messagesLocale)) {
        setenv("LANGUAGE", language->c_str(), 1);
    }
}

} // namespace

void PrepareEngine() {
    PrepareLanguage();
    const bool x11 = Variable("GDK_BACKEND").empty() || Variable("GDK_BACKEND").starts_with("x11");
    if (Variable("GDK_BACKEND").empty()) {
        gdk_set_allowed_backends("x11");
    }
    Software = IsSoftwareDisplay(x11 && !Variable("DISPLAY").empty() ? AskDisplayOpenGL()
                                                                     : DisplayOpenGL{},
                                 Variable("LIBGL_ALWAYS_SOFTWARE"));
    // On a software display the engine's DMA-BUF renderer only costs: about 45 ms and 75 MiB at
    // start on Xvfb (bench/README.md). Set before the engine reads it; a user's own choice stays.
    if (Software) {
        setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", 0);
    }

    SandboxFacts facts;
    facts.Root = geteuid() == 0;
    facts.Bubblewrap = ProgramThere("bwrap");
    facts.DbusProxy = ProgramThere("xdg-dbus-proxy");
    facts.UserNamespaces = !facts.Root && UserNamespacesCanBeMade();
    const SandboxDecision sandbox = DecideSandbox(facts);
    Sandboxed = sandbox.On;
    if (!sandbox.On) {
        std::fputs(SandboxOffLine(sandbox).c_str(), stderr);
    }
}

bool SoftwareDisplay() {
    return Software;
}

bool SandboxEnabled() {
    return Sandboxed;
}

} // namespace platform
