#pragma once
// One owner for a GObject reference, and one for a g_malloc'ed string.

#include <glib-object.h>

#include <string>
#include <utility>

namespace platform {

template <class T> class GObjectPtr {
public:
    GObjectPtr() = default;
    // Takes over a reference the caller owns.
    explicit GObjectPtr(T* owned) : Object(owned) {}
    GObjectPtr(const GObjectPtr&) = delete;
    GObjectPtr& operator=(const GObjectPtr&) = delete;
    GObjectPtr(GObjectPtr&& other) noexcept : Object(std::exchange(other.Object, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.Object, nullptr));
        }
        return *this;
    }
    ~GObjectPtr() { Reset(); }

    void Reset(T* owned = nullptr) {
        if (Object != nullptr) {
            g_object_unref(Object);
        }
        Object = owned;
    }
    T* get() const { return Object; }
    explicit operator bool() const { return Object != nullptr; }

private:
    T* Object = nullptr;
};

// A reference of one's own to an object someone else owns.
template <class T> GObjectPtr<T> Ref(T* object) {
    return GObjectPtr<T>(static_cast<T*>(g_object_ref(object)));
}

// A string the library gave (transfer full), copied and freed at once; empty for NULL.
inline std::string TakeString(gchar* text) {
    std::string copy = text != nullptr ? text : "";
    g_free(text);
    return copy;
}

} // namespace platform
