#pragma once
// Makes a file or folder refuse writes for the length of a scope, whoever runs the test: by its
// permission bits for an ordinary user, by the immutable attribute for root (which the bits do
// not stop). Everything is given back on leaving the scope.

#include <QString>

namespace testsupport {

class ReadOnlyPath {
public:
    explicit ReadOnlyPath(const QString& path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

    // False when writes could not be refused (root without the right to set the attribute).
    bool Active() const { return active_; }

private:
    QString path_;
    bool immutable_ = false;
    bool active_ = false;
};

// True when this process ignores permission bits.
bool RunningAsRoot();

} // namespace testsupport
