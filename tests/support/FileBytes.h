#pragma once
// Whole-file helpers for tests that check files byte for byte.

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

} // namespace testsupport
