#include <gtest/gtest.h>

#include "gui/AccessibleTree.h"

namespace {
using Kind = AccessibleChange::Kind;

AccessibleNode Node(uint32_t key, const std::string& name, bool focused = false, uint32_t serial = 0)
{
    AccessibleNode n;
    n.key = key;
    n.name = name;
    n.SetShowing(serial > 0 || key < 100);
    n.Set(AccessibleState::Focused, focused);
    n.role = serial ? AccessibleRole::Notification : AccessibleRole::PushButton;
    n.shownSerial = n.toldSerial = serial;
    return n;
}

AccessibleWindow Window(uint32_t id, bool active, AccessibleNodes nodes)
{
    AccessibleWindow w;
    w.formId = id;
    w.window.role = AccessibleRole::Frame;
    w.window.Set(AccessibleState::Active, active);
    w.nodes = std::move(nodes);
    return w;
}

// Each change as "kind key" (state changes with their state and value), in order.
std::vector<std::string> Told(const AccessibleTree& after, const AccessibleTree& before)
{
    std::vector<std::string> out;
    for (const AccessibleChange& c : after.ChangesSince(before)) {
        std::string s =
            std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(c.formId) + "/" + std::to_string(c.key);
        if (c.kind == Kind::StateChanged) s += " s" + std::to_string(static_cast<int>(c.state)) + (c.on ? "+" : "-");
        out.push_back(s);
    }
    return out;
}
}  // namespace

TEST(AccessibleTree, TellsWhatChangedInTheOrderAReaderNeedsIt)
{
    const auto name = std::to_string(static_cast<int>(Kind::NameChanged));
    const auto state = std::to_string(static_cast<int>(Kind::StateChanged));
    const auto focused = std::to_string(static_cast<int>(Kind::Focused));
    const std::string showing = " s" + std::to_string(static_cast<int>(AccessibleState::Showing));
    const std::string focus = " s" + std::to_string(static_cast<int>(AccessibleState::Focused));

    // A digit key colours the focused peg and moves on: the new colour is told while
    // the peg still has the focus; a notification shown again with the same words is
    // hidden, renamed and, after the focus has moved, shown, so that it is read out
    // again and not cut off.
    const AccessibleTree before(
        {Window(1, true, {Node(10, "Peg 1: red", true), Node(11, "Peg 2: red"), Node(200, "Guess 1", false, 1)})});
    const AccessibleTree after(
        {Window(1, true, {Node(10, "Peg 1: green"), Node(11, "Peg 2: red", true), Node(200, "Guess 1", false, 2)})});
    EXPECT_EQ(Told(after, before), (std::vector<std::string>{name + " 1/10", state + " 1/200" + showing + "-",
                                                             name + " 1/200", state + " 1/10" + focus + "-",
                                                             focused + " 1/11", state + " 1/200" + showing + "+"}));

    // A dialog opens over the window and takes the keyboard: it is added, the window
    // is deactivated, the dialog activated, and its focused button told last.
    const AccessibleTree dialog({Window(1, false, {Node(10, "Peg 1: green"), Node(11, "Peg 2: red")}),
                                 Window(2, true, {Node(20, "NO", true)})});
    EXPECT_EQ(Told(dialog, after),
              (std::vector<std::string>{std::to_string(static_cast<int>(Kind::WindowAdded)) + " 2/0",
                                        std::to_string(static_cast<int>(Kind::ChildRemoved)) + " 1/200",
                                        std::to_string(static_cast<int>(Kind::Deactivated)) + " 1/0",
                                        std::to_string(static_cast<int>(Kind::Activated)) + " 2/0",
                                        state + " 1/11" + focus + "-", focused + " 2/20"}));

    // It closes: removed at the index the client knows, and the focus comes back
    // where it was, told again since the window is active again.
    EXPECT_EQ(Told(after, dialog), (std::vector<std::string>{
                                       std::to_string(static_cast<int>(Kind::WindowRemoved)) + " 2/0",
                                       std::to_string(static_cast<int>(Kind::ChildAdded)) + " 1/200",
                                       std::to_string(static_cast<int>(Kind::Activated)) + " 1/0", focused + " 1/11"}));
}
