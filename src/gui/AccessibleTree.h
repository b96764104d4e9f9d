#pragma once
// What a screen reader sees of the program at one moment: every open window with
// the nodes it describes (Form::DescribeWindow, Form::DescribeTree). The bridge keeps
// the last one it served; after each event it describes the program again and tells
// clients what changed (ChangesSince), since they cache names and states.
#include <cstdint>
#include <string>
#include <vector>

#include "gui/AccessibleNode.h"

class Form;

struct AccessibleWindow {
    uint32_t formId = 0;
    Form* form = nullptr;  // not owned; valid only while this description is the current one
    AccessibleNode window;
    AccessibleNodes nodes;
};

// One thing a client must be told, in the order they are to be told.
struct AccessibleChange {
    enum class Kind {
        WindowAdded,    // a new child of the application, at `index`
        WindowRemoved,  // the application lost the child at `index`
        ChildAdded,     // node `key` became the child at `index` of node `parent`
        ChildRemoved,   // node `key`, the child at `index` of `parent`, went
        NameChanged,    // node `key` is now called `name`
        StateChanged,   // node `key`'s `state` is now `on`
        Activated,      // the window has the keyboard now (state active goes with it)
        Deactivated,
        Focused,  // node `key` has the focus now (state focused goes with it)
    };
    AccessibleChange(Kind k, uint32_t form, uint32_t node = 0) : kind(k), formId(form), key(node) {}

    Kind kind;
    uint32_t formId = 0;
    uint32_t key = 0;  // 0: the window itself
    uint32_t parent = 0;
    int index = 0;
    AccessibleState state = AccessibleState::Focused;
    bool on = false;
    std::string name;
};

class AccessibleTree {
public:
    AccessibleTree() = default;
    explicit AccessibleTree(std::vector<AccessibleWindow> windows) : windows_(std::move(windows)) {}

    // Describes every open window now; the one with id `activeFormId` has the keyboard.
    // A notification shows what it has new only on the active window while no dialog
    // blocks it, where nothing cuts the reader off, and only once: `previous`, the
    // description clients were last given, says what they were shown.
    static AccessibleTree DescribeOpenWindows(uint32_t activeFormId, const AccessibleTree& previous);

    const std::vector<AccessibleWindow>& Windows() const { return windows_; }
    const AccessibleWindow* FindWindow(uint32_t formId) const;
    // The node with `key` on window `formId`; key 0 is the window's own node.
    const AccessibleNode* FindNode(uint32_t formId, uint32_t key) const;
    // The nodes that sit directly in node `key` (0: the window), in reading order.
    std::vector<const AccessibleNode*> Children(uint32_t formId, uint32_t key) const;
    // The place of node `key` among its parent's children (of the window among the
    // application's), or -1.
    int IndexInParent(uint32_t formId, uint32_t key) const;

    // What a client that knew `before` has to be told to know this: windows and nodes
    // that came and went, names and states that changed; then the windows that lost
    // and gained the keyboard; then the focus, so that a reader still on the focused
    // peg hears its new colour before the focus moves on; last the notifications
    // shown anew, which the reader reads out then.
    std::vector<AccessibleChange> ChangesSince(const AccessibleTree& before) const;

private:
    std::vector<AccessibleWindow> windows_;
};
