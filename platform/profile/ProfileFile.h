#pragma once
// Whole-file access for the profile functions: reads that never create anything, and atomic,
// serialised rewrites.

#include <functional>
#include <string>

namespace platform {

// The file's bytes; empty when it is missing or cannot be read.
std::string ReadProfileFile(const std::string& fileName);

// What an edit makes of a file's content: nothing to change, a refusal (the file stays as it
// is and the rewrite fails), or the new content.
struct FileEdit {
    enum class Outcome { Unchanged, Refused, Changed };
    Outcome outcome = Outcome::Unchanged;
    std::string content;
};

// Replaces the file's content by what edit makes of the current one. Between processes, each
// rewrite runs under an exclusive lock on "<file>.lock"; the new content goes to a temporary file
// in the same folder, reaches the disk and is renamed over the old file, which keeps its
// permissions. So a reader sees the old or the new content, never a part, even when the writer
// dies. Returns false, leaving the file as it was, when the file cannot be read or written, the
// folder takes no new file, the lock cannot be had, or the edit refuses.
bool RewriteProfileFile(const std::string& fileName,
                        const std::function<FileEdit(const std::string&)>& edit);

} // namespace platform
