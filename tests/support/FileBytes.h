#pragma once
// Whole-file helpers for tests that check files byte for byte, and a way to run a test row with
// permission bits enforced, whoever runs the suite.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testsupport {

// The file's bytes, or an empty array when it cannot be read.
QByteArray ReadBytes(const QString& path);

// Writes bytes as the whole file; false when it could not.
bool WriteBytes(const QString& path, const QByteArray& bytes);

// The names in a folder, hidden ones included, sorted.
QStringList FolderEntries(const QString& folder);

// True: run the current row here, where permission bits bind this process. As root it runs the
// row instead in a copy of the test without the rights to override them, reports its outcome
// (a failure, or a skip when those rights cannot be dropped) and returns false: return at once.
bool RunWithoutFileRights();

} // namespace testsupport
