#pragma once
// A copy of the built program (the executable and its window library) in a fresh temporary
// folder, for end-to-end tests. The settings file lives beside the executable and the instance
// lock is keyed on the executable's path, so each copy is a program of its own with its own
// settings. Every process started from the copy is ended with it.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

namespace testsupport {

class ProgramCopy {
public:
    // Copies the files that ORVANE_BINARY and ORVANE_GUI_LIBRARY name.
    ProgramCopy();
    // Kills every process started from the copy, with its helper processes.
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    // Empty when the copy was made; otherwise what went wrong.
    QString Error() const { return error_; }
    QString Folder() const { return folder_.path(); }
    QString Executable() const;
    // "Orvane.ini" beside the executable.
    QString SettingsPath() const;

    // Starts the program (or another path to it, such as a link) with the arguments, in a
    // process group of its own, with a home folder inside the copy so that the web engine's
    // profile and caches stay apart from other runs. The copy owns the process.
    QProcess* Start(const QStringList& arguments, const QString& executable = {});
    // SIGKILL to the process alone, as a crash would end it; waits for its end.
    static void Crash(QProcess* process);
    // What the started processes wrote on standard output and error, for diagnostics.
    QString Output() const;

private:
    QTemporaryDir folder_;
    QString error_;
    QList<QProcess*> processes_;
};

} // namespace testsupport
