#pragma once
// A copy of the built program (the executable and its window library) in a fresh temporary
// folder, for end-to-end tests. The settings file lives beside the executable and the instance
// lock is keyed on the executable's path, so each copy is a program of its own with its own
// settings. Every process started from the copy is ended with it.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <unistd.h>
#include <vector>

class ProgramCopy {
public:
    // Copies the files that ORVANE_BINARY and ORVANE_GUI_LIBRARY name; Ok() tells whether it could.
    ProgramCopy() {
        for (const char* variable : {"ORVANE_BINARY", "ORVANE_GUI_LIBRARY"}) {
            const QString source = qEnvironmentVariable(variable);
            ok_ =
                ok_ && !source.isEmpty() && QFile::copy(source, Path(QFileInfo(source).fileName()));
        }
        ok_ = ok_ && QDir(folder_.path()).mkpath(QStringLiteral("home"));
    }
    // Kills every process started from the copy: each one's whole group, the web engine's
    // helper processes included.
    ~ProgramCopy() {
        for (const auto& process : processes_) {
            if (process->state() != QProcess::NotRunning)
                ::kill(-static_cast<pid_t>(process->processId()), SIGKILL);
            process->waitForFinished();
        }
    }
    bool Ok() const { return ok_; }
    QString Path(const QString& name) const { return QDir(folder_.path()).filePath(name); }
    QString SettingsPath() const { return Path(QStringLiteral("Orvane.ini")); }

    // Starts the program in a process group of its own, with a home folder inside the copy so
    // that the web engine's profile and caches stay apart from other runs.
    QProcess* Start(const QStringList& arguments) {
        auto& process = *processes_.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), Path(QStringLiteral("home")));
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            environment.insert(QLatin1String(variable), Path(QStringLiteral("home/") + variable));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(Path(QFileInfo(qEnvironmentVariable("ORVANE_BINARY")).fileName()), arguments);
        process.waitForStarted();
        return &process;
    }
    // SIGKILL to the process alone, as a crash would end it; waits for its end.
    static void Crash(QProcess* process) {
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished();
    }
    // What the started processes wrote, for diagnostics.
    QString Output() const {
        QString output;
        for (const auto& process : processes_)
            output += QStringLiteral("--- pid %1\n").arg(process->processId()) +
                      QString::fromLocal8Bit(process->readAll());
        return output;
    }

private:
    QTemporaryDir folder_;
    bool ok_ = folder_.isValid();
    std::vector<std::unique_ptr<QProcess>> processes_;
};
