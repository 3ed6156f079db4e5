#pragma once
// Ownership of the replies and errors xcb hands out, which the caller frees.

#include <cstdlib>
#include <memory>

namespace platform {

template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <class T> XcbReply<T> OwnReply(T* reply) {
    return XcbReply<T>(reply, &std::free);
}

} // namespace platform
