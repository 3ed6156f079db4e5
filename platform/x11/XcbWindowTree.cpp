// The window tree of an X11 display, through xcb.
#include "platform/x11/XcbWindowTree.h"

#include "platform/StatusText.h"
#include "platform/profile/ProfileBytes.h"
#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

namespace platform {
namespace {

constexpr std::uint32_t NormalState = 1; // WM_STATE NormalState
constexpr std::uint32_t IconicState = 3; // WM_STATE IconicState
constexpr std::uint32_t SourcePager = 2; // _NET_ACTIVE_WINDOW: asked for by the user
constexpr std::uint32_t MaxPropertyLongs = 1 << 16;
// What a listing reads of each text: 1023 characters of up to four bytes; a longer text is read
// whole when asked for.
constexpr std::uint32_t ListedTextLongs = 1024;
constexpr std::size_t ListedPerBatch = 64; // windows whose texts are asked for at once
constexpr int MaxFrameDepth = 8;           // levels between a managed client and the root
// The most windows looked at below one child of the root for its client.
constexpr int MaxFrameWindows = 64;

// Frees the error of a request whose failure only means "no answer" (a window that is gone).
bool Succeeded(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    const auto error = OwnReply(xcb_request_check(connection, cookie));
    return error == nullptr;
}

using Property = XcbWindowTree::Property;

// The property a request asked for, once its reply comes.
Property TakeProperty(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* rawError = nullptr;
    const auto reply = OwnReply(xcb_get_property_reply(connection, cookie, &rawError));
    const auto error = OwnReply(rawError);
    Property property;
    if (!reply || reply->type == XCB_NONE)
        return property;
    property.type = reply->type;
    property.format = reply->format;
    property.cut = reply->bytes_after != 0;
    property.bytes.assign(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    return property;
}

xcb_get_property_cookie_t AskProperty(xcb_connection_t* connection, xcb_window_t window,
                                      xcb_atom_t name, std::uint32_t longs) {
    return xcb_get_property(connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, longs);
}

Property ReadProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name) {
    return TakeProperty(connection, AskProperty(connection, window, name, MaxPropertyLongs));
}

std::vector<std::uint32_t> Values32(const Property& property) {
    std::vector<std::uint32_t> values;
    if (property.format != 32)
        return values;
    values.resize(property.bytes.size() / sizeof(std::uint32_t));
    std::memcpy(values.data(), property.bytes.data(), values.size() * sizeof(std::uint32_t));
    return values;
}

bool Contains(const std::vector<std::uint32_t>& values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

struct TreeNode {
    bool exists = false;
    xcb_window_t parent = XCB_NONE;
    std::vector<Hwnd> children; // bottom to top
};

TreeNode QueryTree(xcb_connection_t* connection, xcb_window_t window) {
    xcb_generic_error_t* rawError = nullptr;
    const auto reply =
        OwnReply(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), &rawError));
    const auto error = OwnReply(rawError);
    TreeNode node;
    if (!reply)
        return node;
    node.exists = true;
    node.parent = reply->parent;
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    node.children.assign(children, children + xcb_query_tree_children_length(reply.get()));
    return node;
}

bool IsViewable(xcb_connection_t* connection, xcb_window_t window) {
    xcb_generic_error_t* rawError = nullptr;
    const auto reply = OwnReply(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), &rawError));
    const auto error = OwnReply(rawError);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// What a buffer of maxCount 8-bit characters receives of a text property: the text up to its
// first NUL, at most maxCount - 1 characters of it. The limit counts characters, as the
// previous-instance search does, not the bytes that encode them.
std::string EightBitText(std::string_view bytes, int maxCount) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (maxCount < 1)
        return {};
    // Each character takes at most four bytes: no more need decoding.
    const std::size_t kept = static_cast<std::size_t>(maxCount - 1);
    return FirstCharacters(DecodeProfileBytes(bytes.substr(0, 4 * kept)), kept);
}

constexpr std::array AtomNames{"_NET_SUPPORTING_WM_CHECK",
                               "_NET_CLIENT_LIST",
                               "_NET_CLIENT_LIST_STACKING",
                               "_NET_WM_NAME",
                               "WM_STATE",
                               "_NET_WM_STATE",
                               "_NET_WM_STATE_HIDDEN",
                               "_NET_ACTIVE_WINDOW"};

} // namespace

struct XcbWindowTree::Atoms {
    std::array<xcb_atom_t, AtomNames.size()> values{};
    xcb_atom_t supportingWmCheck() const { return values[0]; }
    xcb_atom_t clientList() const { return values[1]; }
    xcb_atom_t clientListStacking() const { return values[2]; }
    xcb_atom_t netWmName() const { return values[3]; }
    xcb_atom_t wmState() const { return values[4]; }
    xcb_atom_t netWmState() const { return values[5]; }
    xcb_atom_t netWmStateHidden() const { return values[6]; }
    xcb_atom_t netActiveWindow() const { return values[7]; }
    // The properties of TextProperty, in its order.
    std::array<xcb_atom_t, 3> texts() const {
        return {netWmName(), XCB_ATOM_WM_NAME, XCB_ATOM_WM_CLASS};
    }
};

XcbWindowTree::XcbWindowTree(xcb_connection_t* connection)
    : connection_(connection), atoms_(std::make_unique<Atoms>()) {
    int screenNumber = 0;
    if (connection_ == nullptr) {
        connection_ = xcb_connect(nullptr, &screenNumber);
        ownsConnection_ = true;
    } else {
        char* host = nullptr;
        int display = 0;
        if (xcb_parse_display(nullptr, &host, &display, &screenNumber) == 0)
            screenNumber = 0;
        std::free(host);
    }
    if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0)
        return;

    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection_)); screens.rem != 0;
         xcb_screen_next(&screens), --screenNumber) {
        if (screenNumber == 0) {
            root_ = screens.data->root;
            break;
        }
    }
    std::array<xcb_intern_atom_cookie_t, AtomNames.size()> cookies{};
    for (std::size_t i = 0; i < AtomNames.size(); ++i)
        cookies[i] = xcb_intern_atom(
            connection_, 0, static_cast<std::uint16_t>(std::strlen(AtomNames[i])), AtomNames[i]);
    for (std::size_t i = 0; i < AtomNames.size(); ++i) {
        const auto reply = OwnReply(xcb_intern_atom_reply(connection_, cookies[i], nullptr));
        atoms_->values[i] = reply ? reply->atom : XCB_NONE;
    }
}

XcbWindowTree::~XcbWindowTree() {
    if (ownsConnection_ && connection_ != nullptr)
        xcb_disconnect(connection_);
}

Hwnd XcbWindowTree::GetDesktopWindow() {
    return root_;
}

bool XcbWindowTree::WindowManagerRuns() {
    // The manager names a check window on the root, and that window names itself: a manager
    // that is gone leaves a property pointing nowhere.
    const auto check = Values32(ReadProperty(connection_, root_, atoms_->supportingWmCheck()));
    if (check.empty() || check[0] == XCB_NONE)
        return false;
    const auto self = Values32(ReadProperty(connection_, check[0], atoms_->supportingWmCheck()));
    return !self.empty() && self[0] == check[0];
}

bool XcbWindowTree::HasWmState(Hwnd window) {
    return ReadProperty(connection_, window, atoms_->wmState()).type != XCB_NONE;
}

// The manager's list of its clients, bottom to top where it publishes the stacking order.
std::vector<Hwnd> XcbWindowTree::ManagedClients() {
    auto clients = Values32(ReadProperty(connection_, root_, atoms_->clientListStacking()));
    if (clients.empty())
        clients = Values32(ReadProperty(connection_, root_, atoms_->clientList()));
    return clients;
}

bool XcbWindowTree::IsManaged(Hwnd window) {
    if (!WindowManagerRuns())
        return false;
    const std::vector<Hwnd> clients = ManagedClients();
    // A manager without a client list manages the windows it gave a WM_STATE.
    return clients.empty() ? HasWmState(window) : Contains(clients, window);
}

// The client window that a child of the root holds, as ICCCM finds it: the child itself when
// it has WM_STATE, else the first window with WM_STATE below it, breadth first; 0 for none.
Hwnd XcbWindowTree::ClientBelow(Hwnd topLevel) {
    if (HasWmState(topLevel))
        return topLevel;
    std::deque<std::pair<Hwnd, int>> pending{{topLevel, 0}};
    for (int looked = 0; !pending.empty() && looked < MaxFrameWindows; ++looked) {
        const auto [window, depth] = pending.front();
        pending.pop_front();
        if (window != topLevel && HasWmState(window))
            return window;
        if (depth >= MaxFrameDepth)
            continue;
        for (const Hwnd child : QueryTree(connection_, window).children)
            pending.emplace_back(child, depth + 1);
    }
    return 0;
}

std::vector<Hwnd> XcbWindowTree::DesktopChildren() {
    std::vector<Hwnd> order = QueryTree(connection_, root_).children; // bottom to top
    const bool managerRuns = WindowManagerRuns();
    const std::vector<Hwnd> clients = managerRuns ? ManagedClients() : std::vector<Hwnd>();
    if (managerRuns && clients.empty()) {
        // Frames without a client list: each stands for the client found below it.
        for (Hwnd& window : order) {
            const Hwnd client = ClientBelow(window);
            if (client != 0)
                window = client;
        }
    } else if (managerRuns) {
        // Each managed client sits in a frame (or is itself) among the root's children.
        std::unordered_map<Hwnd, std::vector<Hwnd>> clientsOfTopLevel;
        for (const Hwnd client : clients) {
            Hwnd topLevel = client;
            for (int depth = 0; depth < MaxFrameDepth && topLevel != XCB_NONE; ++depth) {
                const TreeNode node = QueryTree(connection_, topLevel);
                if (!node.exists)
                    topLevel = XCB_NONE;
                else if (node.parent == root_)
                    break;
                else
                    topLevel = node.parent;
            }
            if (topLevel != XCB_NONE)
                clientsOfTopLevel[topLevel].push_back(client);
        }
        std::vector<Hwnd> expanded;
        expanded.reserve(order.size());
        for (const Hwnd window : order) {
            const auto found = clientsOfTopLevel.find(window);
            if (found == clientsOfTopLevel.end())
                expanded.push_back(window);
            else
                expanded.insert(expanded.end(), found->second.begin(), found->second.end());
        }
        order = std::move(expanded);
    }
    std::reverse(order.begin(), order.end());
    return order;
}

std::vector<Hwnd> XcbWindowTree::ChildrenOf(Hwnd window) {
    std::vector<Hwnd> children = QueryTree(connection_, window).children;
    std::reverse(children.begin(), children.end());
    return children;
}

Hwnd XcbWindowTree::GetWindow(Hwnd window, int command) {
    if (!IsConnected() || window == XCB_NONE)
        return 0;
    if (command == GW_CHILD) {
        std::vector<Hwnd> children = window == root_ ? DesktopChildren() : ChildrenOf(window);
        for (const Hwnd child : children)
            listedUnder_[child] = window;
        ReadTexts(children);
        const Hwnd first = children.empty() ? 0 : children.front();
        children_[window] = std::move(children);
        return first;
    }
    if (command != GW_HWNDNEXT)
        return 0;

    auto parent = listedUnder_.find(window);
    if (parent == listedUnder_.end()) {
        // Not met in a walk yet: list the siblings it has now.
        const auto desktop = DesktopChildren();
        const Hwnd owner = std::find(desktop.begin(), desktop.end(), window) != desktop.end()
                               ? root_
                               : QueryTree(connection_, window).parent;
        if (owner == XCB_NONE)
            return 0;
        GetWindow(owner, GW_CHILD);
        parent = listedUnder_.find(window);
        if (parent == listedUnder_.end())
            return 0;
    }
    const std::vector<Hwnd>& siblings = children_[parent->second];
    auto at = std::find(siblings.begin(), siblings.end(), window);
    if (at == siblings.end() || ++at == siblings.end())
        return 0;
    return *at;
}

void XcbWindowTree::ReadTexts(const std::vector<Hwnd>& windows) {
    texts_.clear();
    const auto names = atoms_->texts();
    for (std::size_t first = 0; first < windows.size(); first += ListedPerBatch) {
        const std::size_t end = std::min(windows.size(), first + ListedPerBatch);
        std::vector<xcb_get_property_cookie_t> cookies;
        for (std::size_t at = first; at < end; ++at)
            for (const xcb_atom_t name : names)
                cookies.push_back(AskProperty(connection_, windows[at], name, ListedTextLongs));
        auto cookie = cookies.begin();
        for (std::size_t at = first; at < end; ++at)
            for (Property& property : texts_[windows[at]])
                property = TakeProperty(connection_, *cookie++);
    }
}

// The text property as the last listing read it, or read now where it did not read it whole.
Property XcbWindowTree::Text(Hwnd window, TextProperty which) {
    const auto listed = texts_.find(window);
    if (listed != texts_.end() && !listed->second[which].cut)
        return listed->second[which];
    return ReadProperty(connection_, window, atoms_->texts()[which]);
}

std::string XcbWindowTree::GetWindowText(Hwnd window, int maxCount) {
    if (!IsConnected())
        return {};
    Property name = Text(window, NetWmName);
    if (name.type == XCB_NONE)
        name = Text(window, WmName);
    return name.format == 8 ? EightBitText(name.bytes, maxCount) : std::string();
}

std::string XcbWindowTree::GetClassName(Hwnd window, int maxCount) {
    if (!IsConnected())
        return {};
    // WM_CLASS holds the instance name and the class name, each ending with a NUL.
    const Property wmClass = Text(window, WmClass);
    const std::size_t instanceEnd = wmClass.bytes.find('\0');
    if (wmClass.format != 8 || instanceEnd == std::string::npos)
        return {};
    return EightBitText(std::string_view(wmClass.bytes).substr(instanceEnd + 1), maxCount);
}

bool XcbWindowTree::IsIconic(Hwnd window) {
    if (!IsConnected())
        return false;
    const auto state = Values32(ReadProperty(connection_, window, atoms_->wmState()));
    if (!state.empty() && state[0] == IconicState)
        return true;
    return Contains(Values32(ReadProperty(connection_, window, atoms_->netWmState())),
                    atoms_->netWmStateHidden());
}

void XcbWindowTree::Activate(Hwnd window) {
    // Under EWMH the manager de-iconifies, raises and focuses a window on this request.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms_->netActiveWindow();
    event.data.data32[0] = SourcePager;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = XCB_NONE;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    // One round trip, so that the server has the request before a caller that ends right after
    // closes the connection: a request still on its way is otherwise often lost.
    free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

bool XcbWindowTree::ShowWindow(Hwnd window, int command) {
    if (!IsConnected() || window == XCB_NONE || command != SW_RESTORE)
        return false;
    const bool wasViewable = IsViewable(connection_, window);
    if (IsManaged(window)) {
        Activate(window);
    } else {
        Succeeded(connection_, xcb_map_window_checked(connection_, window));
        if (!WindowManagerRuns()) {
            // With no manager to keep them, the state properties are brought up to date here.
            const auto state = Values32(ReadProperty(connection_, window, atoms_->wmState()));
            if (!state.empty() && state[0] == IconicState) {
                const std::array<std::uint32_t, 2> normal{NormalState, XCB_NONE};
                xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atoms_->wmState(),
                                    atoms_->wmState(), 32, normal.size(), normal.data());
            }
            auto netState = Values32(ReadProperty(connection_, window, atoms_->netWmState()));
            if (Contains(netState, atoms_->netWmStateHidden())) {
                std::erase(netState, atoms_->netWmStateHidden());
                xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window,
                                    atoms_->netWmState(), XCB_ATOM_ATOM, 32,
                                    static_cast<std::uint32_t>(netState.size()), netState.data());
            }
        }
    }
    xcb_flush(connection_);
    return wasViewable;
}

bool XcbWindowTree::SetForegroundWindow(Hwnd window) {
    if (!IsConnected() || window == XCB_NONE)
        return false;
    if (IsManaged(window)) {
        Activate(window);
        xcb_flush(connection_);
        return true;
    }
    // No manager (or a window it does not manage): raise it, and give it the input when it
    // can take it. A hidden window stays hidden.
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    bool done =
        Succeeded(connection_, xcb_configure_window_checked(connection_, window,
                                                            XCB_CONFIG_WINDOW_STACK_MODE, &above));
    if (done && IsViewable(connection_, window))
        done =
            Succeeded(connection_, xcb_set_input_focus_checked(connection_, XCB_INPUT_FOCUS_PARENT,
                                                               window, XCB_CURRENT_TIME));
    xcb_flush(connection_);
    return done;
}

} // namespace platform
