#pragma once
// Whole files byte for byte, and test rows run with permission bits enforced, even as root.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <unistd.h>

namespace testsupport {
inline QByteArray ReadBytes(const QString& path) { // empty when unreadable
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QStringList FolderEntries(const QString& folder) { // hidden ones included, sorted
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// True: run the row here. As root, runs it in a copy of the test without the rights over file
// modes, reports its outcome (or a skip when the rights cannot be dropped) and returns false.
inline bool RunWithoutFileRights() {
    const QString drop = "--bounding-set=-dac_override,-dac_read_search";
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("ORVANE_WITHOUT_FILE_RIGHTS")) {
        return true;
    } else if (QProcess::execute("setpriv", {drop, "true"}) != 0) {
        QTest::qSkip("root, and setpriv cannot drop the rights over file modes", __FILE__,
                     __LINE__);
        return false;
    }
    qputenv("ORVANE_WITHOUT_FILE_RIGHTS", "1"); // for the copy only
    const int code = QProcess::execute(
        "setpriv", {drop, QCoreApplication::applicationFilePath(),
                    QString("%1:%2").arg(QTest::currentTestFunction(), QTest::currentDataTag())});
    qunsetenv("ORVANE_WITHOUT_FILE_RIGHTS");
    if (code != 0) {
        QTest::qFail("the row failed without the rights over file modes", __FILE__, __LINE__);
    }
    return false;
}
} // namespace testsupport
