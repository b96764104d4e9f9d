// A form and one timer under the real event loop, so that a test can watch from
// outside how often an idle loop wakes up. With the argument "running" the timer
// counts (and the loop must poll); without it the timer exists but is stopped.
// Closing the window ends the program with status 0.
#include <cstdio>
#include <string>

#include "app/Application.h"
#include "app/ScreenConnection.h"
#include "controls/Timer.h"
#include "gui/Form.h"

namespace {
bool QuitOnClose(GUIElement*)
{
    Application::SetQuit(true);
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    const bool running = argc > 1 && std::string(argv[1]) == "running";
    ScreenConnection screen;
    if (!screen.GetDisplay()) return 1;
    {
        Form form(nullptr);
        Application::SetMainForm(&form);
        form.SetScreen(&screen);
        form.SetSize(200, 100);
        form.SetOnQueryClose(QuitOnClose);
        form.Create();
        Timer timer(&form, 400);
        if (running) timer.Start();
        std::printf("looping\n");
        std::fflush(stdout);
        Application::Run(&form);
    }
    screen.Close();
    return 0;
}
