#pragma once
// The engine's start-up decisions, made from facts gathered by Engine.cpp: the locale and the
// language of the toolkit's and the engine's texts, whether the display draws OpenGL only on
// the CPU, and whether the web processes run in the sandbox. No toolkit, no system call here.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The locale to ask for instead of the one setlocale(LC_ALL, "") gave (its name), or nothing to
// keep it. gettext translates nothing under plain "C": that one becomes C.UTF-8.
std::optional<std::string> LocaleInstead(std::string_view localeGiven);

// The value LANGUAGE is to get, or nothing to leave it: French unless the user's language (the
// first of LANGUAGE, else the messages locale) is French already.
std::optional<std::string> LanguageInstead(std::string_view languageVariable,
                                           std::string_view messagesLocale);

// What the X server told about its OpenGL, asked without loading any OpenGL library.
struct DisplayOpenGL {
    bool Answered = false; // an X server answered
    std::string GlxVendor; // the GLX server's vendor: "SGI" is the X server's own (Mesa)
    bool Dri2 = false;     // the server offers DRI2
    bool Dri3 = false;     // the server offers DRI3
    std::string Driver;    // kernel driver of the device DRI3 handed out; empty: none
};

// True when the display's OpenGL can only be Mesa drawing on the CPU (Xvfb, most virtual
// machines, remote desktops): the X server's own GLX or none, and no device that draws. A
// maker's own GLX, or a device whose driver may draw, is taken for hardware. LIBGL_ALWAYS_SOFTWARE
// (alwaysSoftware) set true makes any display software.
bool IsSoftwareDisplay(const DisplayOpenGL& display, std::string_view alwaysSoftware);

// What decides the sandbox of the web processes.
struct SandboxFacts {
    bool Root = false;           // the effective user is root
    bool Bubblewrap = false;     // bwrap is there
    bool DbusProxy = false;      // xdg-dbus-proxy is there
    bool UserNamespaces = false; // a child could make a user namespace
};

struct SandboxDecision {
    bool On = false;
    std::string Reason; // why it is off, in French; empty when on
};

SandboxDecision DecideSandbox(const SandboxFacts& facts);

// The one line standard error gets when the sandbox is off.
std::string SandboxOffLine(const SandboxDecision& decision);

} // namespace platform
