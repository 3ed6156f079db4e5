#pragma once
// SHA-256 of a byte string, for names derived from paths (the instance lock file's).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

// The digest in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

} // namespace platform
