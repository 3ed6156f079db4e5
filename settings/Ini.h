#pragma once
// The settings file routines: writing and reading one profile file named by the caller, or the
// program's own settings file IniFileName. Empty arguments select removal, flushing or the
// listing of a section's key names; missing values read as the empty string.

#include <QString>

namespace BrowserMod1 {

// Full path of the program's settings file, set once at start-up.
extern QString IniFileName;

// Full path of the user's own settings file, $XDG_CONFIG_HOME/orvane/Orvane.ini, set once at
// start-up. It keeps what the user's runs write while IniFileName cannot be written (a program
// folder that belongs to root); empty: no such file.
extern QString UserIniFileName;

// Empty section: flush; empty key: remove the section; empty value: remove the key; otherwise
// store the value. A refused write is lost silently.
void IniWrite(const QString& section, const QString& key, const QString& value,
              const QString& file);

// The stored value (at most 1023 characters), "" when missing; with an empty key, the
// section's key names, each followed by a NUL character.
QString IniRead(const QString& section, const QString& key, const QString& file);

void IniWriteDefault(const QString& section, const QString& key, const QString& value);
QString IniReadDefault(const QString& section, const QString& key);

// The user's own settings, for the window placement. While IniFileName can be written they are
// IniReadDefault and IniWriteDefault. Otherwise a read looks in UserIniFileName first and takes
// IniFileName's value for a key missing there, and a write goes to UserIniFileName (its folder
// created as needed).
QString IniReadUser(const QString& section, const QString& key);
void IniWriteUser(const QString& section, const QString& key, const QString& value);

} // namespace BrowserMod1
