#pragma once
// A copy of the built program (the executable and its window library) in a fresh temporary
// folder. The settings file lives beside the executable and the instance lock is keyed on its
// path, so each copy is a program of its own. Every process started from it ends with it.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <unistd.h>

class ProgramCopy {
public:
    ProgramCopy() {
        for (const QString& file : {binary_, qEnvironmentVariable("ORVANE_GUI_LIBRARY")})
            QFile::copy(file, Path(QFileInfo(file).fileName()));
    }
    // Kills each process group started: the program and the web engine's helpers.
    ~ProgramCopy() {
        for (QProcess* process : processes_.findChildren<QProcess*>())
            if (process->state() != QProcess::NotRunning)
                ::kill(-pid_t(process->processId()), SIGKILL);
    }
    QString Path(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    // Starts the program in a process group of its own, with a home folder inside the copy so
    // that the engine's profile and caches stay apart from other runs.
    QProcess* Start(const QString& commandLine) {
        auto* process = new QProcess(&processes_);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), folder_.path());
        for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            environment.remove(QLatin1String(variable));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        process->start(Path(QFileInfo(binary_).fileName()), {commandLine});
        process->waitForStarted();
        return process;
    }

private:
    QString binary_ = qEnvironmentVariable("ORVANE_BINARY");
    QTemporaryDir folder_;
    QObject processes_; // the started processes' parent
};
