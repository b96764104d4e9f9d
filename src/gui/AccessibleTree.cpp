#include "gui/AccessibleTree.h"

#include "app/Application.h"
#include "gui/Form.h"

namespace {
using Kind = AccessibleChange::Kind;

constexpr AccessibleState kComparedStates[] = {
    AccessibleState::Enabled, AccessibleState::Sensitive, AccessibleState::Showing,   AccessibleState::Visible,
    AccessibleState::Modal,   AccessibleState::Focusable, AccessibleState::MultiLine, AccessibleState::ReadOnly,
};

// The focused node of a window: 0 for none (the window itself is never focused).
uint32_t FocusedKey(const AccessibleWindow& w)
{
    for (const AccessibleNode& n : w.nodes)
        if (n.Has(AccessibleState::Focused)) return n.key;
    return 0;
}

const AccessibleNode* FindIn(const AccessibleWindow* w, uint32_t key)
{
    if (!w) return nullptr;
    if (key == 0) return &w->window;
    for (const AccessibleNode& n : w->nodes)
        if (n.key == key) return &n;
    return nullptr;
}

// Name and state changes of one node that both descriptions hold. A notification
// shown anew shows in `shown`, told after everything else.
void CompareNode(const AccessibleNode& was, const AccessibleNode& is, uint32_t formId,
                 std::vector<AccessibleChange>& out, std::vector<AccessibleChange>& shown)
{
    auto change = [&](Kind kind) {
        AccessibleChange c(kind, formId, is.key);
        c.parent = is.parent;
        return c;
    };
    auto state = [&](AccessibleState s, bool on) {
        AccessibleChange c = change(Kind::StateChanged);
        c.state = s;
        c.on = on;
        out.push_back(c);
    };
    // A notification shown anew is hidden, renamed and shown: readers speak it when it shows.
    const bool reshown =
        is.role == AccessibleRole::Notification && is.Has(AccessibleState::Showing) && is.toldSerial != was.toldSerial;
    if (reshown && was.Has(AccessibleState::Showing)) state(AccessibleState::Showing, false);
    if (is.name != was.name || reshown) {
        AccessibleChange c = change(Kind::NameChanged);
        c.name = is.name;
        out.push_back(c);
    }
    for (AccessibleState s : kComparedStates) {
        if (reshown && s == AccessibleState::Showing) {
            state(s, true);
            shown.push_back(out.back());
            out.pop_back();
        } else if (is.Has(s) != was.Has(s)) {
            state(s, is.Has(s));
        }
    }
}
}  // namespace

namespace {
// Whether a notification shows: what it has new, once, while its window may speak;
// what was shown stays until the window goes quiet, and is not shown again.
void HoldOrTell(AccessibleNode& n, const AccessibleNode* was, bool maySpeak)
{
    n.toldSerial = was ? was->toldSerial : n.shownSerial;  // a new client hears no old news
    const bool fresh = n.shownSerial != n.toldSerial;
    const bool showing =
        maySpeak && n.Has(AccessibleState::Showing) && (fresh || (was && was->Has(AccessibleState::Showing)));
    n.SetShowing(showing);
    if (showing) n.toldSerial = n.shownSerial;
}
}  // namespace

AccessibleTree AccessibleTree::DescribeOpenWindows(uint32_t activeFormId, const AccessibleTree& previous)
{
    std::vector<AccessibleWindow> windows;
    for (GUIElement* e : Application::Forms()) {
        auto* form = static_cast<Form*>(e);
        if (e->IsDeleted() || !form->IsCreated() || !form->GetWindow()) continue;
        AccessibleWindow w;
        w.formId = form->GetId();
        w.form = form;
        form->DescribeWindow(w.window);
        w.window.Set(AccessibleState::Active, w.formId == activeFormId);
        form->DescribeTree(w.nodes);
        const bool maySpeak = w.formId == activeFormId && w.window.Has(AccessibleState::Enabled);
        for (AccessibleNode& n : w.nodes)
            if (n.role == AccessibleRole::Notification) HoldOrTell(n, previous.FindNode(w.formId, n.key), maySpeak);
        windows.push_back(std::move(w));
    }
    return AccessibleTree(std::move(windows));
}

const AccessibleWindow* AccessibleTree::FindWindow(uint32_t formId) const
{
    for (const AccessibleWindow& w : windows_)
        if (w.formId == formId) return &w;
    return nullptr;
}

const AccessibleNode* AccessibleTree::FindNode(uint32_t formId, uint32_t key) const
{
    return FindIn(FindWindow(formId), key);
}

std::vector<const AccessibleNode*> AccessibleTree::Children(uint32_t formId, uint32_t key) const
{
    std::vector<const AccessibleNode*> children;
    if (const AccessibleWindow* w = FindWindow(formId))
        for (const AccessibleNode& n : w->nodes)
            if (n.parent == key) children.push_back(&n);
    return children;
}

int AccessibleTree::IndexInParent(uint32_t formId, uint32_t key) const
{
    if (key == 0) {
        for (size_t i = 0; i < windows_.size(); ++i)
            if (windows_[i].formId == formId) return static_cast<int>(i);
        return -1;
    }
    const AccessibleNode* node = FindNode(formId, key);
    if (!node) return -1;
    const auto siblings = Children(formId, node->parent);
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i] == node) return static_cast<int>(i);
    return -1;
}

std::vector<AccessibleChange> AccessibleTree::ChangesSince(const AccessibleTree& before) const
{
    std::vector<AccessibleChange> out, shown;
    auto windowChange = [&out](Kind kind, uint32_t formId, int index) {
        AccessibleChange c(kind, formId);
        c.index = index;
        out.push_back(c);
    };
    // Windows that went, last first so that each index is the one the client still has.
    for (size_t i = before.windows_.size(); i-- > 0;)
        if (!FindWindow(before.windows_[i].formId))
            windowChange(Kind::WindowRemoved, before.windows_[i].formId, static_cast<int>(i));
    for (size_t i = 0; i < windows_.size(); ++i)
        if (!before.FindWindow(windows_[i].formId))
            windowChange(Kind::WindowAdded, windows_[i].formId, static_cast<int>(i));

    for (const AccessibleWindow& w : windows_) {
        const AccessibleWindow* was = before.FindWindow(w.formId);
        if (!was) continue;  // a new window's nodes come with it
        for (const AccessibleNode& old : was->nodes) {
            if (FindIn(&w, old.key)) continue;
            AccessibleChange c(Kind::ChildRemoved, w.formId, old.key);
            c.parent = old.parent;
            c.index = before.IndexInParent(w.formId, old.key);
            out.push_back(c);
        }
        CompareNode(was->window, w.window, w.formId, out, shown);
        for (const AccessibleNode& n : w.nodes) {
            if (const AccessibleNode* old = FindIn(was, n.key)) {
                CompareNode(*old, n, w.formId, out, shown);
                continue;
            }
            AccessibleChange c(Kind::ChildAdded, w.formId, n.key);
            c.parent = n.parent;
            c.index = IndexInParent(w.formId, n.key);
            out.push_back(c);
        }
    }

    // The keyboard: first the window that lost it, then the one that has it.
    auto activeWindow = [](const AccessibleTree& t) -> uint32_t {
        for (const AccessibleWindow& w : t.windows_)
            if (w.window.Has(AccessibleState::Active)) return w.formId;
        return 0;
    };
    const uint32_t wasActive = activeWindow(before), isActive = activeWindow(*this);
    if (wasActive != isActive) {
        if (wasActive && FindWindow(wasActive)) windowChange(Kind::Deactivated, wasActive, 0);
        if (isActive) windowChange(Kind::Activated, isActive, 0);
    }

    // The focus, window by window; the active window's comes last, where it is.
    auto focusChanges = [&](const AccessibleWindow& w) {
        const AccessibleWindow* was = before.FindWindow(w.formId);
        const uint32_t oldKey = was ? FocusedKey(*was) : 0, newKey = FocusedKey(w);
        const bool regained = newKey != 0 && w.formId == isActive && wasActive != isActive;
        if (oldKey == newKey && !regained) return;
        AccessibleChange c(Kind::StateChanged, w.formId);
        c.state = AccessibleState::Focused;
        if (oldKey != 0 && oldKey != newKey && FindIn(&w, oldKey)) {
            c.key = oldKey;
            out.push_back(c);
        }
        if (newKey != 0) {
            c.kind = Kind::Focused;
            c.key = newKey;
            c.on = true;
            out.push_back(c);
        }
    };
    for (const AccessibleWindow& w : windows_)
        if (w.formId != isActive) focusChanges(w);
    if (const AccessibleWindow* w = FindWindow(isActive)) focusChanges(*w);
    // What a notification says comes last: a reader's word on the focus would cut it off.
    out.insert(out.end(), shown.begin(), shown.end());
    return out;
}
