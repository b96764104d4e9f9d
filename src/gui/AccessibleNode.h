#pragma once
// What a screen reader is told of one thing on a window: its role, its name, its
// states, where it is painted and what it can do. Controls and windows fill it in
// (GUIElement::Describe, Form::DescribeWindow, Form::DescribeTree); the accessibility
// bridge serves it on the accessibility bus and tells clients when it changes.
//
// The role and state numbers are those of the accessibility bus's protocol, so they
// travel unchanged.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class AccessibleRole : uint32_t {
    NotShown = 0,  // not shown to a screen reader (a picture, a container of others)
    Alert = 2,
    Dialog = 16,
    Frame = 23,
    Label = 29,
    List = 31,
    ListItem = 32,
    PushButton = 43,
    Application = 75,
    Link = 88,
    Notification = 101,
};

// The role's name as the protocol spells it ("push button").
const char* AccessibleRoleName(AccessibleRole role);

enum class AccessibleState : uint32_t {
    Active = 1,
    Enabled = 8,
    Focusable = 11,
    Focused = 12,
    Modal = 16,
    MultiLine = 17,
    Sensitive = 24,
    Showing = 25,
    Visible = 30,
    ReadOnly = 43,
};

struct AccessibleNode {
    // Tells the node apart from the others of its window, from one description to
    // the next: a control's element id, or a number of the window's own at or above
    // kOwnKeys for what the window paints itself (the board's rows, a chart's bars).
    uint32_t key = 0;
    static constexpr uint32_t kOwnKeys = 0x40000000;
    // The key of the node it sits in; 0 for the window itself.
    uint32_t parent = 0;
    AccessibleRole role = AccessibleRole::NotShown;
    std::string name;
    // A longer text that a reader can move through by word and line (a dialog's
    // message); empty for none.
    std::string text;
    // The actions it offers, by name; DoAction's index is the position here.
    std::vector<std::string> actions;
    // The painted rectangle, in the form's own pixels, from the window's top-left corner.
    int x = 0, y = 0, width = 0, height = 0;
    uint64_t states = 0;
    // A notification: grows each time it has something new to read out, even the same
    // text (set by its window); and the last of those clients were shown, kept by the
    // description from one time to the next (AccessibleTree).
    uint32_t shownSerial = 0;
    uint32_t toldSerial = 0;

    bool Has(AccessibleState s) const { return (states >> static_cast<uint32_t>(s)) & 1u; }
    void Set(AccessibleState s, bool on = true)
    {
        const uint64_t bit = uint64_t{1} << static_cast<uint32_t>(s);
        states = on ? (states | bit) : (states & ~bit);
    }
    // Enabled and sensitive together, as clients read either.
    void SetEnabled(bool on)
    {
        Set(AccessibleState::Enabled, on);
        Set(AccessibleState::Sensitive, on);
    }
    // Showing and visible together: on the screen.
    void SetShowing(bool on)
    {
        Set(AccessibleState::Showing, on);
        Set(AccessibleState::Visible, on);
    }
    void SetBox(int bx, int by, int w, int h) { x = bx, y = by, width = w, height = h; }

    // A node for something a window paints itself (a figure, a row of the board):
    // on the screen and enabled, its box still to be set.
    static AccessibleNode Painted(uint32_t key, uint32_t parent, AccessibleRole role, std::string name)
    {
        AccessibleNode node;
        node.key = key;
        node.parent = parent;
        node.role = role;
        node.name = std::move(name);
        node.SetShowing(true);
        node.SetEnabled(true);
        return node;
    }
};

using AccessibleNodes = std::vector<AccessibleNode>;
