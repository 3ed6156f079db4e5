#pragma once
// The settings file routines: writing and reading one profile file named by the caller, or the
// program's own settings file IniFileName. Empty arguments select removal, flushing or the
// listing of a section's key names; missing values read as the empty string. Texts are UTF-8.

#include <string>

namespace BrowserMod1 {

// Full path of the program's settings file, set once at start-up.
extern std::string IniFileName;

// Full path of the user's own settings file, $XDG_CONFIG_HOME/orvane/Orvane.ini, set once at
// start-up. It keeps what the user's runs write while IniFileName cannot be written (a program
// folder that belongs to root); empty: no such file.
extern std::string UserIniFileName;

// Empty section: flush; empty key: remove the section; empty value: remove the key; otherwise
// store the value. A refused write is lost silently.
void IniWrite(const std::string& section, const std::string& key, const std::string& value,
              const std::string& file);

// The stored value (at most 1023 characters), "" when missing; with an empty key, the
// section's key names, each followed by a NUL character.
std::string IniRead(const std::string& section, const std::string& key, const std::string& file);

void IniWriteDefault(const std::string& section, const std::string& key, const std::string& value);
std::string IniReadDefault(const std::string& section, const std::string& key);

// The user's own settings, for the window placement. While IniFileName can be written they are
// IniReadDefault and IniWriteDefault. Otherwise a read looks in UserIniFileName first and takes
// IniFileName's value for a key missing there, and a write goes to UserIniFileName (its folder
// created as needed).
std::string IniReadUser(const std::string& section, const std::string& key);
void IniWriteUser(const std::string& section, const std::string& key, const std::string& value);

} // namespace BrowserMod1
