#pragma once
// A container that puts each child at the rectangle it is given, whatever the child's own
// minimum size, and asks for no room itself: the window's minimum size never comes from its
// controls (a GtkFixed would make every child's size the window's minimum, and a window manager
// would then refuse to make the window smaller than its toolbar).
//
// Besides the placed children: one child may be docked to the bottom edge across the full
// width (the status bar), one may cover the whole area (the web view in full screen; the
// children marked as chrome are then moved out of sight), and the keyboard's Tab order follows
// a list given by the window rather than the children's positions.

#include <gtk/gtk.h>

#include <functional>
#include <vector>

namespace browser {

GtkWidget* FreeLayoutNew();

// Adds child (when it is not yet a child) and puts it at rect, in pixels relative to the
// layout. Outside the layout's own allocation pass the layout is allocated again.
void FreeLayoutPlace(GtkWidget* layout, GtkWidget* child, int x, int y, int width, int height);

// The child's rectangle as last placed (0 x 0 at 0, 0 for one never placed).
GdkRectangle FreeLayoutRect(GtkWidget* layout, GtkWidget* child);

// Adds child docked to the bottom edge, full width, height pixels high.
void FreeLayoutDockBottom(GtkWidget* layout, GtkWidget* child, int height);

// Marks child as chrome: out of sight while a child covers the layout.
void FreeLayoutSetChrome(GtkWidget* child);

// child covers the whole layout (nullptr: none does).
void FreeLayoutSetCover(GtkWidget* layout, GtkWidget* child);

// Called at every allocation with the layout's size, before the children are placed: what it
// places is allocated in the same pass.
void FreeLayoutOnAllocate(GtkWidget* layout, std::function<void(int width, int height)> laidOut);

// The order Tab and Shift+Tab move the focus in among the children.
void FreeLayoutSetFocusOrder(GtkWidget* layout, std::vector<GtkWidget*> order);
// Puts child first in that order.
void FreeLayoutFocusFirst(GtkWidget* layout, GtkWidget* child);

} // namespace browser
