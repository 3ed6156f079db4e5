#pragma once
// Where the running program lies.

#include <string>

namespace platform {

// The running executable's path, links resolved; empty when the system does not tell.
std::string ExecutablePath();

// The folder of a path, without a trailing separator ("/" for the root, "." for a bare name).
std::string FolderOf(const std::string& path);

} // namespace platform
