#include "browser/FreeLayout.h"

#include <algorithm>
#include <memory>

namespace {

struct LayoutState {
    std::function<void(int, int)> LaidOut;
    std::vector<GtkWidget*> FocusOrder; // children; dropped from the list when removed
    GtkWidget* Cover = nullptr;
    bool Allocating = false;
};

struct ChildState {
    GdkRectangle Rect{0, 0, 0, 0};
    int DockHeight = -1; // docked to the bottom when 0 or more
    bool Chrome = false;
};

} // namespace

extern "C" {
struct OrvaneFreeLayout {
    GtkFixed parent;
    LayoutState* state;
};
struct OrvaneFreeLayoutClass {
    GtkFixedClass parent_class;
};
}

G_DEFINE_TYPE(OrvaneFreeLayout, orvane_free_layout, GTK_TYPE_FIXED)

namespace {

constexpr char kChildKey[] = "orvane-free-layout-child";
// Where chrome goes while a child covers the layout: far outside any window.
constexpr int kOutOfSight = -100000;

LayoutState& State(GtkWidget* layout) {
    return *reinterpret_cast<OrvaneFreeLayout*>(layout)->state;
}

ChildState& Child(GtkWidget* child) {
    auto* state = static_cast<ChildState*>(g_object_get_data(G_OBJECT(child), kChildKey));
    if (state == nullptr) {
        state = new ChildState;
        g_object_set_data_full(G_OBJECT(child), kChildKey, state,
                               [](gpointer data) { delete static_cast<ChildState*>(data); });
    }
    return *state;
}

void MinimumZero(GtkWidget*, gint* minimum, gint* natural) {
    *minimum = 0;
    *natural = 0;
}

void Allocate(GtkWidget* widget, GtkAllocation* allocation) {
    gtk_widget_set_allocation(widget, allocation);
    LayoutState& state = State(widget);
    if (state.LaidOut) {
        state.Allocating = true;
        state.LaidOut(allocation->width, allocation->height);
        state.Allocating = false;
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* item = children; item != nullptr; item = item->next) {
        auto* child = static_cast<GtkWidget*>(item->data);
        if (!gtk_widget_get_visible(child)) {
            continue;
        }
        // GTK wants every child asked for its size before it is allocated.
        GtkRequisition minimum;
        gtk_widget_get_preferred_size(child, &minimum, nullptr);
        const ChildState& placed = Child(child);
        GdkRectangle rect = placed.Rect;
        if (child == state.Cover) {
            rect = {0, 0, allocation->width, allocation->height};
        } else if (state.Cover != nullptr && placed.Chrome) {
            rect = {kOutOfSight, kOutOfSight, minimum.width, minimum.height};
        } else if (placed.DockHeight >= 0) {
            rect = {0, allocation->height - placed.DockHeight, allocation->width,
                    placed.DockHeight};
        }
        rect.x += allocation->x;
        rect.y += allocation->y;
        rect.width = std::max(rect.width, 0);
        rect.height = std::max(rect.height, 0);
        gtk_widget_size_allocate(child, &rect);
    }
    g_list_free(children);
    gtk_widget_set_clip(widget, allocation);
}

gboolean Focus(GtkWidget* widget, GtkDirectionType direction) {
    const std::vector<GtkWidget*>& order = State(widget).FocusOrder;
    const bool forward = direction == GTK_DIR_TAB_FORWARD;
    if (order.empty() || (!forward && direction != GTK_DIR_TAB_BACKWARD)) {
        return GTK_WIDGET_CLASS(orvane_free_layout_parent_class)->focus(widget, direction);
    }
    GtkWidget* current = gtk_container_get_focus_child(GTK_CONTAINER(widget));
    auto at = std::find(order.begin(), order.end(), current);
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t index = at == order.end() ? (forward ? -1 : n) : at - order.begin();
    if (at != order.end() && gtk_widget_child_focus(current, direction)) {
        return TRUE; // within the child (the home button's two parts)
    }
    for (index += forward ? 1 : -1; index >= 0 && index < n; index += forward ? 1 : -1) {
        GtkWidget* next = order[static_cast<std::size_t>(index)];
        if (gtk_widget_is_drawable(next) && gtk_widget_child_focus(next, direction)) {
            return TRUE;
        }
    }
    return FALSE;
}

void Remove(GtkContainer* container, GtkWidget* child) {
    LayoutState& state = State(GTK_WIDGET(container));
    std::erase(state.FocusOrder, child);
    if (state.Cover == child) {
        state.Cover = nullptr;
    }
    GTK_CONTAINER_CLASS(orvane_free_layout_parent_class)->remove(container, child);
}

void Finalize(GObject* object) {
    delete reinterpret_cast<OrvaneFreeLayout*>(object)->state;
    G_OBJECT_CLASS(orvane_free_layout_parent_class)->finalize(object);
}

} // namespace

static void orvane_free_layout_class_init(OrvaneFreeLayoutClass* klass) {
    auto* widget = GTK_WIDGET_CLASS(klass);
    widget->get_preferred_width = MinimumZero;
    widget->get_preferred_height = MinimumZero;
    widget->size_allocate = Allocate;
    widget->focus = Focus;
    GTK_CONTAINER_CLASS(klass)->remove = Remove;
    G_OBJECT_CLASS(klass)->finalize = Finalize;
}

static void orvane_free_layout_init(OrvaneFreeLayout* self) {
    self->state = new LayoutState;
}

namespace browser {

GtkWidget* FreeLayoutNew() {
    return GTK_WIDGET(g_object_new(orvane_free_layout_get_type(), nullptr));
}

void FreeLayoutPlace(GtkWidget* layout, GtkWidget* child, int x, int y, int width, int height) {
    Child(child).Rect = {x, y, width, height};
    if (gtk_widget_get_parent(child) != layout) {
        gtk_fixed_put(GTK_FIXED(layout), child, x, y);
    } else if (!State(layout).Allocating) {
        gtk_widget_queue_allocate(layout);
    }
}

GdkRectangle FreeLayoutRect(GtkWidget*, GtkWidget* child) {
    return Child(child).Rect;
}

void FreeLayoutDockBottom(GtkWidget* layout, GtkWidget* child, int height) {
    Child(child).DockHeight = height;
    FreeLayoutPlace(layout, child, 0, 0, 0, height);
}

void FreeLayoutSetChrome(GtkWidget* child) {
    Child(child).Chrome = true;
}

void FreeLayoutSetCover(GtkWidget* layout, GtkWidget* child) {
    State(layout).Cover = child;
    gtk_widget_queue_allocate(layout);
}

void FreeLayoutOnAllocate(GtkWidget* layout, std::function<void(int width, int height)> laidOut) {
    State(layout).LaidOut = std::move(laidOut);
}

void FreeLayoutSetFocusOrder(GtkWidget* layout, std::vector<GtkWidget*> order) {
    State(layout).FocusOrder = std::move(order);
}

void FreeLayoutFocusFirst(GtkWidget* layout, GtkWidget* child) {
    std::vector<GtkWidget*>& order = State(layout).FocusOrder;
    std::erase(order, child);
    order.insert(order.begin(), child);
}

} // namespace browser
