#include "app/AccessServer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/ProductInfo.h"
#include "gui/AccessibleTree.h"
#include "gui/Form.h"

namespace {
constexpr const char* kObjectPrefix = "/org/a11y/atspi/accessible";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr const char* kCachePath = "/org/a11y/atspi/cache";

const SdBus* sd = nullptr;
Display* display = nullptr;
sd_bus* a11y = nullptr;  // the bus served on; null while nothing is served
bool embedded = false;
std::string desktopName;  // the registry's desktop, the root's parent
std::string desktopPath;
int32_t applicationId = 0;
uint32_t activeFormId = 0;  // the window with the X keyboard focus
AccessibleTree served;      // what clients were last told

// ---------------------------------------------------------------- objects and paths

// What a path names: the application's root, a window, or a node on a window.
struct Target {
    bool root = false;
    uint32_t formId = 0;
    uint32_t key = 0;
    const AccessibleWindow* window = nullptr;
    const AccessibleNode* node = nullptr;
};

bool ParseNumber(const char*& p, uint32_t& out)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(p, &end, 10);
    if (end == p || errno != 0 || v > 0xFFFFFFFFul) return false;
    out = static_cast<uint32_t>(v);
    p = end;
    return true;
}

// "root", "w<form>" or "w<form>_<key>" under the object prefix, for what is served now.
bool Resolve(const char* path, Target& t)
{
    if (!path) return false;
    const size_t prefix = std::strlen(kObjectPrefix);
    if (std::strncmp(path, kObjectPrefix, prefix) != 0 || path[prefix] != '/') return false;
    const char* p = path + prefix + 1;
    if (std::strcmp(p, "root") == 0) {
        t.root = true;
        return true;
    }
    if (*p++ != 'w' || !ParseNumber(p, t.formId)) return false;
    if (*p == '_') {
        ++p;
        if (!ParseNumber(p, t.key) || t.key == 0) return false;
    }
    if (*p != '\0') return false;
    t.window = served.FindWindow(t.formId);
    t.node = served.FindNode(t.formId, t.key);
    return t.node != nullptr;
}

std::string PathOf(uint32_t formId, uint32_t key)
{
    std::string path = kObjectPrefix;
    path += "/w";
    path += std::to_string(formId);
    if (key != 0) {
        path += '_';
        path += std::to_string(key);
    }
    return path;
}

const char* UniqueName()
{
    const char* name = nullptr;
    return a11y && sd->sd_bus_get_unique_name(a11y, &name) >= 0 && name ? name : "";
}

int AppendReference(sd_bus_message* m, const char* bus, const std::string& path)
{
    return sd->sd_bus_message_append(m, "(so)", bus, path.c_str());
}
int AppendReference(sd_bus_message* m, uint32_t formId, uint32_t key)
{
    return AppendReference(m, UniqueName(), PathOf(formId, key));
}
int AppendNull(sd_bus_message* m) { return AppendReference(m, UniqueName(), kNullPath); }

// The live form a target's window is, or null once it has gone.
Form* LiveForm(uint32_t formId)
{
    for (GUIElement* e : Application::Forms())
        if (e->GetId() == formId && !e->IsDeleted() && e->IsCreated()) return static_cast<Form*>(e);
    return nullptr;
}

// Texts travel as UTF-8; the program's own are single bytes, read as Latin-1.
std::string Utf8(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// ---------------------------------------------------------------- telling clients

void PublishNow();

int EmitEvent(const std::string& path, const char* interface, const char* member, const char* minor, int detail1,
              int detail2, const char* variantType, const void* value)
{
    sd_bus_message* m = nullptr;
    int r = sd->sd_bus_message_new_signal(a11y, &m, path.c_str(), interface, member);
    if (r >= 0) r = sd->sd_bus_message_append(m, "sii", minor, detail1, detail2);
    if (r >= 0) r = sd->sd_bus_message_open_container(m, 'v', variantType);
    if (r >= 0) {
        if (std::strcmp(variantType, "s") == 0)
            r = sd->sd_bus_message_append(m, "s", static_cast<const char*>(value));
        else if (std::strcmp(variantType, "(so)") == 0)
            r = AppendReference(m, UniqueName(), *static_cast<const std::string*>(value));
        else
            r = sd->sd_bus_message_append(m, "i", 0);
    }
    if (r >= 0) r = sd->sd_bus_message_close_container(m);
    if (r >= 0) r = sd->sd_bus_message_append(m, "a{sv}", 0);
    if (r >= 0) r = sd->sd_bus_send(a11y, m, nullptr);
    sd->sd_bus_message_unref(m);
    return r;
}

const char* StateName(AccessibleState s)
{
    switch (s) {
    case AccessibleState::Active:
        return "active";
    case AccessibleState::Enabled:
        return "enabled";
    case AccessibleState::Focusable:
        return "focusable";
    case AccessibleState::Focused:
        return "focused";
    case AccessibleState::Modal:
        return "modal";
    case AccessibleState::MultiLine:
        return "multi-line";
    case AccessibleState::Sensitive:
        return "sensitive";
    case AccessibleState::Showing:
        return "showing";
    case AccessibleState::Visible:
        return "visible";
    case AccessibleState::ReadOnly:
        return "read-only";
    }
    return "invalid";
}

void Emit(const AccessibleChange& c)
{
    using Kind = AccessibleChange::Kind;
    static constexpr const char* kObject = "org.a11y.atspi.Event.Object";
    static constexpr const char* kWindow = "org.a11y.atspi.Event.Window";
    const std::string path = PathOf(c.formId, c.key);
    const std::string parent = PathOf(c.formId, c.parent);
    const AccessibleNode* window = served.FindNode(c.formId, 0);
    const std::string title = window ? Utf8(window->name) : "";
    switch (c.kind) {
    case Kind::WindowAdded:
        EmitEvent(kRootPath, kObject, "ChildrenChanged", "add", c.index, 0, "(so)", &path);
        EmitEvent(path, kWindow, "Create", "", 0, 0, "s", title.c_str());
        break;
    case Kind::WindowRemoved:
        EmitEvent(kRootPath, kObject, "ChildrenChanged", "remove", c.index, 0, "(so)", &path);
        EmitEvent(path, kWindow, "Destroy", "", 0, 0, "s", "");
        break;
    case Kind::ChildAdded:
        EmitEvent(parent, kObject, "ChildrenChanged", "add", c.index, 0, "(so)", &path);
        break;
    case Kind::ChildRemoved:
        EmitEvent(parent, kObject, "ChildrenChanged", "remove", c.index, 0, "(so)", &path);
        break;
    case Kind::NameChanged: {
        const std::string name = Utf8(c.name);
        EmitEvent(path, kObject, "PropertyChange", "accessible-name", 0, 0, "s", name.c_str());
        break;
    }
    case Kind::StateChanged:
        EmitEvent(path, kObject, "StateChanged", StateName(c.state), c.on ? 1 : 0, 0, "i", nullptr);
        break;
    case Kind::Activated:
        EmitEvent(path, kObject, "StateChanged", "active", 1, 0, "i", nullptr);
        EmitEvent(path, kWindow, "Activate", "", 0, 0, "s", title.c_str());
        break;
    case Kind::Deactivated:
        EmitEvent(path, kObject, "StateChanged", "active", 0, 0, "i", nullptr);
        EmitEvent(path, kWindow, "Deactivate", "", 0, 0, "s", title.c_str());
        break;
    case Kind::Focused:
        EmitEvent(path, kObject, "StateChanged", "focused", 1, 0, "i", nullptr);
        EmitEvent(path, "org.a11y.atspi.Event.Focus", "Focus", "", 0, 0, "i", nullptr);
        break;
    }
}

// Describes the program again and tells clients what changed since they were last told.
void PublishNow()
{
    AccessibleTree now = AccessibleTree::DescribeOpenWindows(activeFormId, served);
    const std::vector<AccessibleChange> changes = now.ChangesSince(served);
    // Events name objects as they are now; a removed one is still found in the old tree
    // for its window's title, which is all they read from it.
    AccessibleTree old = std::move(served);
    served = std::move(now);
    if (!embedded) return;
    for (const AccessibleChange& c : changes) {
        if (c.kind == AccessibleChange::Kind::WindowRemoved) {
            std::swap(old, served);
            Emit(c);
            std::swap(old, served);
        } else {
            Emit(c);
        }
    }
}

// ---------------------------------------------------------------- the served interfaces

using Handler = int (*)(sd_bus_message*, void*, sd_bus_error*);
using Getter = int (*)(sd_bus*, const char*, const char*, const char*, sd_bus_message*, void*, sd_bus_error*);

// Resolves the path of a method call; methods answer only for what is served.
bool CallTarget(sd_bus_message* m, Target& t) { return Resolve(sd->sd_bus_message_get_path(m), t); }

int ReplyNew(sd_bus_message* call, sd_bus_message** reply) { return sd->sd_bus_message_new_method_return(call, reply); }
int SendReply(sd_bus_message* reply, int r)
{
    if (r >= 0) r = sd->sd_bus_send(nullptr, reply, nullptr);
    sd->sd_bus_message_unref(reply);
    return r;
}

AccessibleRole RoleOf(const Target& t) { return t.root ? AccessibleRole::Application : t.node->role; }
std::string NameOf(const Target& t) { return t.root ? kProductName : Utf8(t.node->name); }

// The children of a target: the windows of the root, or the nodes in a window or node.
std::vector<std::pair<uint32_t, uint32_t>> ChildrenOf(const Target& t)
{
    std::vector<std::pair<uint32_t, uint32_t>> out;
    if (t.root) {
        for (const AccessibleWindow& w : served.Windows()) out.emplace_back(w.formId, 0);
    } else {
        for (const AccessibleNode* n : served.Children(t.formId, t.key)) out.emplace_back(t.formId, n->key);
    }
    return out;
}

int AppendParent(sd_bus_message* m, const Target& t)
{
    if (t.root) return embedded ? AppendReference(m, desktopName.c_str(), desktopPath) : AppendNull(m);
    if (t.key == 0) return AppendReference(m, UniqueName(), kRootPath);
    return AppendReference(m, t.formId, t.node->parent);
}

#define QUORREL_TARGET_OR_FAIL(m, t) \
    Target t;                        \
    if (!CallTarget(m, t)) return -ENOENT

int GetName(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t)) return -ENOENT;
    return sd->sd_bus_message_append(reply, "s", NameOf(t).c_str());
}
int GetEmptyText(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "s", "");
}
int GetLocaleProperty(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "s", "en");
}
int GetParent(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t)) return -ENOENT;
    return AppendParent(reply, t);
}
int GetChildCount(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t)) return -ENOENT;
    return sd->sd_bus_message_append(reply, "i", static_cast<int32_t>(ChildrenOf(t).size()));
}

int GetChildAtIndex(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t index = 0;
    int r = sd->sd_bus_message_read(m, "i", &index);
    if (r < 0) return r;
    const auto children = ChildrenOf(t);
    sd_bus_message* reply = nullptr;
    r = ReplyNew(m, &reply);
    if (r >= 0) {
        if (index >= 0 && static_cast<size_t>(index) < children.size())
            r = AppendReference(reply, children[index].first, children[index].second);
        else
            r = AppendNull(reply);
    }
    return SendReply(reply, r);
}

int GetChildren(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    sd_bus_message* reply = nullptr;
    int r = ReplyNew(m, &reply);
    if (r >= 0) r = sd->sd_bus_message_open_container(reply, 'a', "(so)");
    for (const auto& [formId, key] : ChildrenOf(t))
        if (r >= 0) r = AppendReference(reply, formId, key);
    if (r >= 0) r = sd->sd_bus_message_close_container(reply);
    return SendReply(reply, r);
}

int GetIndexInParent(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    const int32_t index = t.root ? -1 : served.IndexInParent(t.formId, t.key);
    return sd->sd_bus_reply_method_return(m, "i", index);
}

int GetRelationSet(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "a(ua(so))", 0);
}

int GetRole(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "u", static_cast<uint32_t>(RoleOf(t)));
}

int GetRoleName(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "s", AccessibleRoleName(RoleOf(t)));
}

int GetState(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    const uint64_t states = t.root ? 0 : t.node->states;
    return sd->sd_bus_reply_method_return(m, "au", 2, static_cast<uint32_t>(states),
                                          static_cast<uint32_t>(states >> 32));
}

int GetAttributes(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "a{ss}", 1, "toolkit", kProductName);
}

int GetApplication(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    sd_bus_message* reply = nullptr;
    int r = ReplyNew(m, &reply);
    if (r >= 0) r = AppendReference(reply, UniqueName(), kRootPath);
    return SendReply(reply, r);
}

int GetInterfaces(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    std::vector<const char*> names{"org.a11y.atspi.Accessible"};
    if (t.root) {
        names.push_back("org.a11y.atspi.Application");
    } else {
        names.push_back("org.a11y.atspi.Component");
        if (!t.node->actions.empty()) names.push_back("org.a11y.atspi.Action");
        if (!t.node->text.empty()) names.push_back("org.a11y.atspi.Text");
    }
    sd_bus_message* reply = nullptr;
    int r = ReplyNew(m, &reply);
    if (r >= 0) r = sd->sd_bus_message_open_container(reply, 'a', "s");
    for (const char* n : names)
        if (r >= 0) r = sd->sd_bus_message_append(reply, "s", n);
    if (r >= 0) r = sd->sd_bus_message_close_container(reply);
    return SendReply(reply, r);
}

// --- Application, on the root

int GetToolkit(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "s", kProductName);
}
int GetVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "s", kProductVersion);
}
int GetAtspiVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "s", "2.1");
}
int GetId(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "i", applicationId);
}
int SetId(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void*, sd_bus_error*)
{
    return sd->sd_bus_message_read(value, "i", &applicationId);
}
int GetLocale(sd_bus_message* m, void*, sd_bus_error*)
{
    uint32_t category = 0;
    const int r = sd->sd_bus_message_read(m, "u", &category);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "s", "en");
}
int GetApplicationBusAddress(sd_bus_message* m, void*, sd_bus_error*)
{
    return sd->sd_bus_reply_method_return(m, "s", "");
}
int IgnoreListener(sd_bus_message* m, void*, sd_bus_error*) { return sd->sd_bus_reply_method_return(m, ""); }

// --- Component: where a node is painted

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

// The target's box in `coordType`: 0 the screen, 1 its window, 2 its parent.
Box BoxOf(const Target& t, uint32_t coordType)
{
    Box b;
    Form* form = LiveForm(t.formId);
    if (!form || t.root) return b;
    const int s = form->Scale();
    const AccessibleNode& n = *t.node;
    b = {n.x * s, n.y * s, n.width * s, n.height * s};
    if (t.key == 0) b.x = b.y = 0;
    if (coordType == 0) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        // A round trip: the events it reads wait in Xlib's queue, which the loop
        // looks at before it blocks.
        if (form->GetWindow() && XTranslateCoordinates(display, form->GetWindow(), DefaultRootWindow(display), 0, 0,
                                                       &rootX, &rootY, &child)) {
            b.x += rootX;
            b.y += rootY;
        }
    } else if (coordType == 2 && t.key != 0) {
        if (const AccessibleNode* parent = served.FindNode(t.formId, n.parent); parent && n.parent != 0) {
            b.x -= parent->x * s;
            b.y -= parent->y * s;
        }
    }
    return b;
}

bool Inside(const Box& b, int x, int y) { return x >= b.x && y >= b.y && x < b.x + b.width && y < b.y + b.height; }

int Contains(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t x = 0, y = 0;
    uint32_t coordType = 0;
    const int r = sd->sd_bus_message_read(m, "iiu", &x, &y, &coordType);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "b", Inside(BoxOf(t, coordType), x, y));
}

int GetAccessibleAtPoint(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t x = 0, y = 0;
    uint32_t coordType = 0;
    int r = sd->sd_bus_message_read(m, "iiu", &x, &y, &coordType);
    if (r < 0) return r;
    // The deepest node under the point, going down from the target.
    Target found;
    bool any = false;
    for (Target at = t;;) {
        bool deeper = false;
        for (const auto& [formId, key] : ChildrenOf(at)) {
            Target child;
            child.formId = formId;
            child.key = key;
            child.window = served.FindWindow(formId);
            child.node = served.FindNode(formId, key);
            if (child.node && Inside(BoxOf(child, coordType == 2 ? 1 : coordType), x, y)) {
                found = at = child;
                any = deeper = true;
                break;
            }
        }
        if (!deeper) break;
    }
    sd_bus_message* reply = nullptr;
    r = ReplyNew(m, &reply);
    if (r >= 0) r = any ? AppendReference(reply, found.formId, found.key) : AppendNull(reply);
    return SendReply(reply, r);
}

int GetExtents(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    uint32_t coordType = 0;
    int r = sd->sd_bus_message_read(m, "u", &coordType);
    if (r < 0) return r;
    const Box b = BoxOf(t, coordType);
    sd_bus_message* reply = nullptr;
    r = ReplyNew(m, &reply);
    if (r >= 0) r = sd->sd_bus_message_append(reply, "(iiii)", b.x, b.y, b.width, b.height);
    return SendReply(reply, r);
}

int GetPosition(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    uint32_t coordType = 0;
    const int r = sd->sd_bus_message_read(m, "u", &coordType);
    if (r < 0) return r;
    const Box b = BoxOf(t, coordType);
    return sd->sd_bus_reply_method_return(m, "ii", b.x, b.y);
}

int GetSize(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    const Box b = BoxOf(t, 1);
    return sd->sd_bus_reply_method_return(m, "ii", b.width, b.height);
}

int GetLayer(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "u", t.key == 0 ? 7u : 3u);  // window, widget
}

int GetMDIZOrder(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "n", int16_t{0});
}

int GetAlpha(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "d", 1.0);
}

// Runs what a screen reader asked for as input of the program's own, then tells
// clients what it changed before anything else is read.
struct NodeRequest {
    uint32_t formId;
    uint32_t key;
    int action;  // -1: take the focus
    bool done = false;
};

void RunNodeRequest(void* context)
{
    auto* q = static_cast<NodeRequest*>(context);
    Form* form = LiveForm(q->formId);
    if (!form) return;
    if (q->key == 0) {
        if (q->action < 0) form->SetFocus(), q->done = true;
        return;
    }
    q->done = q->action < 0 ? form->FocusNode(q->key) : form->DoNodeAction(q->key, q->action);
}

bool RunRequest(uint32_t formId, uint32_t key, int action)
{
    NodeRequest q{formId, key, action};
    Application::RunInput(RunNodeRequest, &q);
    PublishNow();
    return q.done;
}

int GrabFocus(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "b", !t.root && RunRequest(t.formId, t.key, -1));
}

// --- Action

int GetNActions(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t) || t.root) return -ENOENT;
    return sd->sd_bus_message_append(reply, "i", static_cast<int32_t>(t.node->actions.size()));
}

// The name of action `index`, or "" when there is none.
std::string ActionName(const Target& t, int32_t index)
{
    if (t.root || index < 0 || static_cast<size_t>(index) >= t.node->actions.size()) return "";
    return t.node->actions[static_cast<size_t>(index)];
}

int ActionText(sd_bus_message* m, bool named)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t index = 0;
    const int r = sd->sd_bus_message_read(m, "i", &index);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "s", named ? ActionName(t, index).c_str() : "");
}
int GetActionName(sd_bus_message* m, void*, sd_bus_error*) { return ActionText(m, true); }
int GetActionEmpty(sd_bus_message* m, void*, sd_bus_error*) { return ActionText(m, false); }

int GetActions(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    sd_bus_message* reply = nullptr;
    int r = ReplyNew(m, &reply);
    if (r >= 0) r = sd->sd_bus_message_open_container(reply, 'a', "(sss)");
    if (!t.root)
        for (const std::string& a : t.node->actions)
            if (r >= 0) r = sd->sd_bus_message_append(reply, "(sss)", a.c_str(), "", "");
    if (r >= 0) r = sd->sd_bus_message_close_container(reply);
    return SendReply(reply, r);
}

int DoAction(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t index = 0;
    const int r = sd->sd_bus_message_read(m, "i", &index);
    if (r < 0) return r;
    const bool done = !ActionName(t, index).empty() && RunRequest(t.formId, t.key, index);
    return sd->sd_bus_reply_method_return(m, "b", done);
}

// --- Text: a node's longer text, read by character, word, sentence and line

const std::string& TextOf(const Target& t)
{
    static const std::string none;
    return t.root ? none : t.node->text;
}

// The piece of `text` around `offset` for boundary `type`: 0 a character, 1 and 2 a
// word, 3 and 4 a sentence, 5 and 6 a line.
std::pair<int, int> Piece(const std::string& text, int offset, uint32_t type)
{
    const int n = static_cast<int>(text.size());
    offset = std::max(0, std::min(offset, n));
    if (type == 0) return {offset, std::min(offset + 1, n)};
    auto isBreak = [&](int i) {
        const char c = text[static_cast<size_t>(i)];
        if (type <= 2) return c == ' ' || c == '\n';
        if (type <= 4)
            return (c == '.' || c == '!' || c == '?') && (i + 1 == n || text[i + 1] == ' ' || text[i + 1] == '\n');
        return c == '\n';
    };
    int start = offset;
    while (start > 0 && !isBreak(start - 1)) --start;
    int end = offset;
    while (end < n && !isBreak(end)) ++end;
    if (end < n) ++end;  // the break belongs to the piece before it
    return {start, end};
}

int ReplyPiece(sd_bus_message* m, const std::string& text, std::pair<int, int> p)
{
    const std::string piece = Utf8(text.substr(static_cast<size_t>(p.first), static_cast<size_t>(p.second - p.first)));
    return sd->sd_bus_reply_method_return(m, "sii", piece.c_str(), p.first, p.second);
}

int GetCharacterCount(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t)) return -ENOENT;
    return sd->sd_bus_message_append(reply, "i", static_cast<int32_t>(TextOf(t).size()));
}
int GetCaretOffset(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*)
{
    return sd->sd_bus_message_append(reply, "i", 0);
}

int GetText(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t start = 0, end = 0;
    const int r = sd->sd_bus_message_read(m, "ii", &start, &end);
    if (r < 0) return r;
    const std::string& text = TextOf(t);
    const int n = static_cast<int>(text.size());
    if (end < 0 || end > n) end = n;
    start = std::max(0, std::min(start, end));
    const std::string piece = Utf8(text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
    return sd->sd_bus_reply_method_return(m, "s", piece.c_str());
}

// GetTextAtOffset, and the pieces before and after it.
int TextAround(sd_bus_message* m, int step)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    uint32_t type = 0;
    const int r = sd->sd_bus_message_read(m, "iu", &offset, &type);
    if (r < 0) return r;
    const std::string& text = TextOf(t);
    std::pair<int, int> p = Piece(text, offset, type);
    if (step < 0) p = p.first > 0 ? Piece(text, p.first - 1, type) : std::pair<int, int>{0, 0};
    if (step > 0) {
        const int n = static_cast<int>(text.size());
        p = p.second < n ? Piece(text, p.second, type) : std::pair<int, int>{n, n};
    }
    return ReplyPiece(m, text, p);
}
int GetTextAtOffset(sd_bus_message* m, void*, sd_bus_error*) { return TextAround(m, 0); }
int GetTextBeforeOffset(sd_bus_message* m, void*, sd_bus_error*) { return TextAround(m, -1); }
int GetTextAfterOffset(sd_bus_message* m, void*, sd_bus_error*) { return TextAround(m, 1); }

int GetStringAtOffset(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    uint32_t granularity = 0;
    const int r = sd->sd_bus_message_read(m, "iu", &offset, &granularity);
    if (r < 0) return r;
    // Granularities: character, word, sentence, line, paragraph (a line here).
    static constexpr uint32_t kBoundary[] = {0, 1, 3, 5, 5};
    const std::string& text = TextOf(t);
    return ReplyPiece(m, text, Piece(text, offset, kBoundary[std::min<uint32_t>(granularity, 4)]));
}

int GetCharacterAtOffset(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    const int r = sd->sd_bus_message_read(m, "i", &offset);
    if (r < 0) return r;
    const std::string& text = TextOf(t);
    const int32_t c = offset >= 0 && offset < static_cast<int>(text.size())
                          ? static_cast<unsigned char>(text[static_cast<size_t>(offset)])
                          : 0;
    return sd->sd_bus_reply_method_return(m, "i", c);
}

int GetTextAttributes(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    const int r = sd->sd_bus_message_read(m, "i", &offset);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "a{ss}ii", 0, 0, static_cast<int32_t>(TextOf(t).size()));
}

int GetAttributeRun(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    int includeDefaults = 0;
    const int r = sd->sd_bus_message_read(m, "ib", &offset, &includeDefaults);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "a{ss}ii", 0, 0, static_cast<int32_t>(TextOf(t).size()));
}

int GetDefaultAttributes(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "a{ss}", 0);
}

int GetNSelections(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "i", 0);
}

int SetCaretOffset(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    return sd->sd_bus_reply_method_return(m, "b", 0);
}

// The extents of characters: the node's own box, for each of them.
int GetCharacterExtents(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t offset = 0;
    uint32_t coordType = 0;
    const int r = sd->sd_bus_message_read(m, "iu", &offset, &coordType);
    if (r < 0) return r;
    const Box b = BoxOf(t, coordType);
    return sd->sd_bus_reply_method_return(m, "iiii", b.x, b.y, b.width, b.height);
}

int GetRangeExtents(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t start = 0, end = 0;
    uint32_t coordType = 0;
    const int r = sd->sd_bus_message_read(m, "iiu", &start, &end, &coordType);
    if (r < 0) return r;
    const Box b = BoxOf(t, coordType);
    return sd->sd_bus_reply_method_return(m, "iiii", b.x, b.y, b.width, b.height);
}

int GetOffsetAtPoint(sd_bus_message* m, void*, sd_bus_error*)
{
    QUORREL_TARGET_OR_FAIL(m, t);
    int32_t x = 0, y = 0;
    uint32_t coordType = 0;
    const int r = sd->sd_bus_message_read(m, "iiu", &x, &y, &coordType);
    return r < 0 ? r : sd->sd_bus_reply_method_return(m, "i", -1);
}

// --- Cache: clients ask once; they then read what they need object by object.

int GetItems(sd_bus_message* m, void*, sd_bus_error*)
{
    return sd->sd_bus_reply_method_return(m, "a((so)(so)(so)iiassusau)", 0);
}

// ---------------------------------------------------------------- the vtables

// The libsystemd vtable format, filled in once the library is loaded: its start
// entry names the library's format mark, which only the loaded library has.
sd_bus_vtable Start()
{
    sd_bus_vtable v{};
    v.type = _SD_BUS_VTABLE_START;
    v.x.start.element_size = sizeof(sd_bus_vtable);
    v.x.start.features = _SD_BUS_VTABLE_PARAM_NAMES;
    v.x.start.vtable_format_reference = sd->vtableFormat;
    return v;
}
sd_bus_vtable Method(const char* name, const char* in, const char* out, Handler h)
{
    return SD_BUS_METHOD(name, in, out, h, SD_BUS_VTABLE_UNPRIVILEGED);
}
sd_bus_vtable Property(const char* name, const char* type, Getter g) { return SD_BUS_PROPERTY(name, type, g, 0, 0); }
sd_bus_vtable End() { return SD_BUS_VTABLE_END; }

std::vector<sd_bus_vtable> accessibleVtable, applicationVtable, componentVtable, actionVtable, textVtable, cacheVtable;

void BuildVtables()
{
    if (!accessibleVtable.empty()) return;
    accessibleVtable = {Start(),
                        Property("Name", "s", GetName),
                        Property("Description", "s", GetEmptyText),
                        Property("Parent", "(so)", GetParent),
                        Property("ChildCount", "i", GetChildCount),
                        Property("Locale", "s", GetLocaleProperty),
                        Property("AccessibleId", "s", GetEmptyText),
                        Method("GetChildAtIndex", "i", "(so)", GetChildAtIndex),
                        Method("GetChildren", "", "a(so)", GetChildren),
                        Method("GetIndexInParent", "", "i", GetIndexInParent),
                        Method("GetRelationSet", "", "a(ua(so))", GetRelationSet),
                        Method("GetRole", "", "u", GetRole),
                        Method("GetRoleName", "", "s", GetRoleName),
                        Method("GetLocalizedRoleName", "", "s", GetRoleName),
                        Method("GetState", "", "au", GetState),
                        Method("GetAttributes", "", "a{ss}", GetAttributes),
                        Method("GetApplication", "", "(so)", GetApplication),
                        Method("GetInterfaces", "", "as", GetInterfaces),
                        End()};
    applicationVtable = {Start(),
                         Property("ToolkitName", "s", GetToolkit),
                         Property("Version", "s", GetVersion),
                         Property("AtspiVersion", "s", GetAtspiVersion),
                         SD_BUS_WRITABLE_PROPERTY("Id", "i", GetId, SetId, 0, 0),
                         Method("GetLocale", "u", "s", GetLocale),
                         Method("GetApplicationBusAddress", "", "s", GetApplicationBusAddress),
                         Method("RegisterEventListener", "s", "", IgnoreListener),
                         Method("DeregisterEventListener", "s", "", IgnoreListener),
                         End()};
    componentVtable = {Start(),
                       Method("Contains", "iiu", "b", Contains),
                       Method("GetAccessibleAtPoint", "iiu", "(so)", GetAccessibleAtPoint),
                       Method("GetExtents", "u", "(iiii)", GetExtents),
                       Method("GetPosition", "u", "ii", GetPosition),
                       Method("GetSize", "", "ii", GetSize),
                       Method("GetLayer", "", "u", GetLayer),
                       Method("GetMDIZOrder", "", "n", GetMDIZOrder),
                       Method("GrabFocus", "", "b", GrabFocus),
                       Method("GetAlpha", "", "d", GetAlpha),
                       End()};
    actionVtable = {Start(),
                    Property("NActions", "i", GetNActions),
                    Method("GetDescription", "i", "s", GetActionEmpty),
                    Method("GetName", "i", "s", GetActionName),
                    Method("GetLocalizedName", "i", "s", GetActionName),
                    Method("GetKeyBinding", "i", "s", GetActionEmpty),
                    Method("GetActions", "", "a(sss)", GetActions),
                    Method("DoAction", "i", "b", DoAction),
                    End()};
    textVtable = {Start(),
                  Property("CharacterCount", "i", GetCharacterCount),
                  Property("CaretOffset", "i", GetCaretOffset),
                  Method("GetStringAtOffset", "iu", "sii", GetStringAtOffset),
                  Method("GetText", "ii", "s", GetText),
                  Method("SetCaretOffset", "i", "b", SetCaretOffset),
                  Method("GetTextBeforeOffset", "iu", "sii", GetTextBeforeOffset),
                  Method("GetTextAtOffset", "iu", "sii", GetTextAtOffset),
                  Method("GetTextAfterOffset", "iu", "sii", GetTextAfterOffset),
                  Method("GetCharacterAtOffset", "i", "i", GetCharacterAtOffset),
                  Method("GetAttributes", "i", "a{ss}ii", GetTextAttributes),
                  Method("GetAttributeRun", "ib", "a{ss}ii", GetAttributeRun),
                  Method("GetDefaultAttributes", "", "a{ss}", GetDefaultAttributes),
                  Method("GetDefaultAttributeSet", "", "a{ss}", GetDefaultAttributes),
                  Method("GetCharacterExtents", "iu", "iiii", GetCharacterExtents),
                  Method("GetRangeExtents", "iiu", "iiii", GetRangeExtents),
                  Method("GetOffsetAtPoint", "iiu", "i", GetOffsetAtPoint),
                  Method("GetNSelections", "", "i", GetNSelections),
                  End()};
    cacheVtable = {Start(), Method("GetItems", "", "a((so)(so)(so)iiassusau)", GetItems), End()};
}

// Which objects have an interface: every served object has Accessible; the root alone
// Application; the windows and nodes Component; nodes with actions Action, with a text Text.
enum class Interface { Accessible, Application, Component, Action, Text };

template <Interface I>
int Find(sd_bus*, const char* path, const char*, void*, void** found, sd_bus_error*)
{
    Target t;
    if (!Resolve(path, t)) return 0;
    bool has = true;
    if constexpr (I == Interface::Application) has = t.root;
    if constexpr (I == Interface::Component) has = !t.root;
    if constexpr (I == Interface::Action) has = !t.root && !t.node->actions.empty();
    if constexpr (I == Interface::Text) has = !t.root && !t.node->text.empty();
    *found = nullptr;
    return has ? 1 : 0;
}

}  // namespace

int AccessServer::Serve(const SdBus* library, sd_bus* bus, Display* d)
{
    sd = library;
    display = d;
    BuildVtables();
    struct Served {
        const char* interface;
        const std::vector<sd_bus_vtable>* vtable;
        sd_bus_object_find_t find;
    };
    const Served interfaces[] = {
        {"org.a11y.atspi.Accessible", &accessibleVtable, Find<Interface::Accessible>},
        {"org.a11y.atspi.Application", &applicationVtable, Find<Interface::Application>},
        {"org.a11y.atspi.Component", &componentVtable, Find<Interface::Component>},
        {"org.a11y.atspi.Action", &actionVtable, Find<Interface::Action>},
        {"org.a11y.atspi.Text", &textVtable, Find<Interface::Text>},
    };
    int r = 0;
    for (const Served& s : interfaces)
        if (r >= 0)
            r = sd->sd_bus_add_fallback_vtable(bus, nullptr, kObjectPrefix, s.interface, s.vtable->data(), s.find,
                                               nullptr);
    if (r >= 0)
        r = sd->sd_bus_add_object_vtable(bus, nullptr, kCachePath, "org.a11y.atspi.Cache", cacheVtable.data(), nullptr);
    if (r < 0) return r;
    a11y = bus;
    embedded = false;
    // The tree clients will read; events tell them of changes from here on.
    served = AccessibleTree::DescribeOpenWindows(activeFormId, AccessibleTree());
    return 0;
}

void AccessServer::Forget()
{
    a11y = nullptr;
    embedded = false;
    desktopName.clear();
    desktopPath.clear();
    served = AccessibleTree();
}

void AccessServer::Embedded(const char* name, const char* path)
{
    desktopName = name;
    desktopPath = path;
    embedded = true;
    // A reader learns which window has the keyboard, and where the focus is, from
    // events: those of the present state are told now.
    served = AccessibleTree::DescribeOpenWindows(0, served);
    PublishNow();
}

int AccessServer::AppendRoot(sd_bus_message* m) { return AppendReference(m, UniqueName(), kRootPath); }

void AccessServer::SetActiveWindow(uint32_t formId) { activeFormId = formId; }
uint32_t AccessServer::ActiveWindow() { return activeFormId; }

void AccessServer::Publish()
{
    if (a11y) PublishNow();
}
