#include "support/ProgramCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <unistd.h>

namespace testsupport {

namespace {

// Copies the file that the environment variable names into the folder, under its own name.
QString CopyInto(const char* variable, const QString& folder) {
    const QString source = qEnvironmentVariable(variable);
    if (source.isEmpty()) {
        return QStringLiteral("%1 is not set").arg(QLatin1String(variable));
    }
    const QString target = QDir(folder).filePath(QFileInfo(source).fileName());
    if (!QFile::copy(source, target)) {
        return QStringLiteral("cannot copy %1 to %2").arg(source, target);
    }
    return {};
}

} // namespace

ProgramCopy::ProgramCopy() {
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder: ") + folder_.errorString();
        return;
    }
    error_ = CopyInto("ORVANE_BINARY", folder_.path());
    if (error_.isEmpty()) {
        error_ = CopyInto("ORVANE_GUI_LIBRARY", folder_.path());
    }
    if (error_.isEmpty() && !QDir(folder_.path()).mkpath(QStringLiteral("home"))) {
        error_ = QStringLiteral("cannot make the home folder");
    }
}

ProgramCopy::~ProgramCopy() {
    for (QProcess* process : processes_) {
        if (process->state() != QProcess::NotRunning) {
            // The whole group: the program and the web engine's helper processes.
            ::kill(-static_cast<pid_t>(process->processId()), SIGKILL);
            process->waitForFinished(10000);
        }
        delete process;
    }
}

QString ProgramCopy::Executable() const {
    return QDir(folder_.path())
        .filePath(QFileInfo(qEnvironmentVariable("ORVANE_BINARY")).fileName());
}

QString ProgramCopy::SettingsPath() const {
    return QDir(folder_.path()).filePath(QStringLiteral("Orvane.ini"));
}

QProcess* ProgramCopy::Start(const QStringList& arguments, const QString& executable) {
    auto* process = new QProcess;
    processes_ << process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = QDir(folder_.path()).filePath(QStringLiteral("home"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setChildProcessModifier([] { ::setpgid(0, 0); });
    process->start(executable.isEmpty() ? Executable() : executable, arguments);
    process->waitForStarted(10000);
    return process;
}

void ProgramCopy::Crash(QProcess* process) {
    if (process->state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished(10000);
    }
}

QString ProgramCopy::Output() const {
    QString output;
    for (QProcess* process : processes_) {
        output += QStringLiteral("--- %1 %2 (pid %3)\n")
                      .arg(process->program(), process->arguments().join(QLatin1Char(' ')))
                      .arg(process->processId());
        output += QString::fromLocal8Bit(process->readAll());
    }
    return output;
}

} // namespace testsupport
