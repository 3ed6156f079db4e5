#pragma once
// Loading a shared library of the program's and finding its entry point, with what went wrong
// told apart so that the program can say it in its own words.

#include <string>

namespace platform {

struct LibraryEntry {
    enum class Failure {
        None,
        FileMissing,       // the library's file is not there
        DependencyMissing, // a library that it needs is not there (missingFile names it)
        NotLoadable,       // the file is there but the loader refused it (damaged, other system)
        EntryMissing,      // loaded, but without the entry point
    };
    Failure failure = Failure::None;
    void* entry = nullptr;
    std::string missingFile;
};

// Loads the library at path (resolving every symbol now) and looks up symbol in it. The library
// stays loaded for the life of the process.
LibraryEntry LoadLibraryEntry(const std::string& path, const char* symbol);

} // namespace platform
