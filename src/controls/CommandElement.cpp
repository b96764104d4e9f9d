#include "controls/CommandElement.h"

void CommandElement::RunCommand()
{
    if (command_) command_(element_);
}
