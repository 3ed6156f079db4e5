#include "FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <unistd.h>

namespace testsupport {
QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

bool RunWithoutFileRights() {
    const QString drop = "--bounding-set=-dac_override,-dac_read_search";
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("ORVANE_WITHOUT_FILE_RIGHTS")) {
        return true;
    } else if (QProcess::execute("setpriv", {drop, "true"}) != 0) {
        QTest::qSkip("root, and setpriv cannot drop the rights over file modes", __FILE__,
                     __LINE__);
        return false;
    }
    QProcess row;
    row.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVANE_WITHOUT_FILE_RIGHTS", "1");
    row.setProcessEnvironment(environment);
    row.start("setpriv",
              {drop, QCoreApplication::applicationFilePath(),
               QString("%1:%2").arg(QTest::currentTestFunction(), QTest::currentDataTag())});
    if (!row.waitForFinished(-1) || row.exitStatus() != QProcess::NormalExit || row.exitCode()) {
        QTest::qFail("the row failed without the rights over file modes", __FILE__, __LINE__);
    }
    return false;
}
} // namespace testsupport
