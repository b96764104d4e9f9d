#pragma once
// The command a control runs when it is activated (a button's click or Return).
// A mix-in without virtual operations: it sits after the control's Child part and
// only stores the handler, so a form can give every button the same free function
// and tell the buttons apart by the element it receives.
#include <string>

class Child;

class CommandElement {
public:
    using CommandHandler = void (*)(Child* element);

    // `element` is the control this command belongs to; it is handed to the handler.
    explicit CommandElement(Child& element) : element_(&element) {}
    CommandElement(const CommandElement&) = delete;
    CommandElement& operator=(const CommandElement&) = delete;

    // Replaces any earlier handler; null means activation runs nothing.
    void SetCommand(CommandHandler handler) { command_ = handler; }
    CommandHandler GetCommand() const { return command_; }
    // Calls the handler with the element, if one is set.
    void RunCommand();

    // A free text for the command's owner; the control itself never reads it.
    void SetCommandText(const std::string& s) { commandText_ = s; }
    const std::string& GetCommandText() const { return commandText_; }

protected:
    ~CommandElement() = default;

private:
    Child* element_;
    CommandHandler command_ = nullptr;
    std::string commandText_;
};
