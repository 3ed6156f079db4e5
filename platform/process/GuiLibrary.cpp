#include "platform/process/GuiLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

namespace platform {

namespace {

// The loader names a library it could not find first: "libx.so.1: cannot open shared object
// file: ...". Empty when its message says something else.
std::string NotFoundIn(const char* loaderMessage) {
    const std::string message = loaderMessage ? loaderMessage : "";
    const std::size_t at = message.find(": cannot open shared object file");
    return at != std::string::npos && at > 0 ? message.substr(0, at) : std::string();
}

} // namespace

LibraryEntry LoadLibraryEntry(const std::string& path, const char* symbol) {
    LibraryEntry result;
    if (::access(path.c_str(), F_OK) != 0) {
        result.failure = LibraryEntry::Failure::FileMissing;
        result.missingFile = path;
        return result;
    }
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        result.missingFile = NotFoundIn(::dlerror());
        result.failure = result.missingFile.empty() || result.missingFile == path
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
