#include "ReadOnlyPath.h"

#include <QFile>
#include <QProcess>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

int ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

} // namespace

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

ReadOnlyPath::ReadOnlyPath(const QString& path) : path_(path) {
    if (RunningAsRoot()) {
        immutable_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
        active_ = immutable_;
        return;
    }
    const int mode = ModeOf(path);
    active_ = mode >= 0 && ::chmod(QFile::encodeName(path).constData(), mode & ~0222) == 0;
}

ReadOnlyPath::~ReadOnlyPath() {
    if (immutable_) {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    } else if (active_) {
        ::chmod(QFile::encodeName(path_).constData(), ModeOf(path_) | 0200);
    }
}

} // namespace testsupport
