#pragma once
// Whole files byte for byte, and test rows run with permission bits enforced, even as root.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testsupport {
QByteArray ReadBytes(const QString& path); // empty when unreadable
bool WriteBytes(const QString& path, const QByteArray& bytes);
QStringList FolderEntries(const QString& folder); // hidden ones included, sorted
// True: run the row here. As root, runs it in a copy of the test without the rights over file
// modes, reports its outcome (or a skip when the rights cannot be dropped) and returns false.
bool RunWithoutFileRights();
} // namespace testsupport
