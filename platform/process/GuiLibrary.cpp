#include "platform/process/GuiLibrary.h"

#include <QFile>

#include <dlfcn.h>
#include <unistd.h>

namespace platform {

namespace {

// The loader names a library it could not find first: "libx.so.1: cannot open shared object
// file: ...". Empty when its message says something else.
QString NotFoundIn(const char* loaderMessage) {
    const QString message = QString::fromLocal8Bit(loaderMessage ? loaderMessage : "");
    const qsizetype at = message.indexOf(QLatin1String(": cannot open shared object file"));
    return at > 0 ? message.first(at) : QString();
}

} // namespace

LibraryEntry LoadLibraryEntry(const QString& path, const char* symbol) {
    LibraryEntry result;
    const QByteArray file = QFile::encodeName(path);
    if (::access(file.constData(), F_OK) != 0) {
        result.failure = LibraryEntry::Failure::FileMissing;
        result.missingFile = path;
        return result;
    }
    void* library = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        result.missingFile = NotFoundIn(::dlerror());
        result.failure = result.missingFile.isEmpty() || result.missingFile == path
                             ? LibraryEntry::Failure::NotLoadable
                             : LibraryEntry::Failure::DependencyMissing;
        return result;
    }
    result.entry = ::dlsym(library, symbol);
    if (result.entry == nullptr) {
        result.failure = LibraryEntry::Failure::EntryMissing;
    }
    return result;
}

} // namespace platform
