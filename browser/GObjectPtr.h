#pragma once
// One owner for a GObject reference: unreferenced when the holder goes.

#include <glib-object.h>

#include <memory>

namespace browser {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

template <class T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

} // namespace browser
