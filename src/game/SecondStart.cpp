#include "game/SecondStart.h"

#include "app/Application.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/RunningGame.h"
#include "app/ScreenConnection.h"
#include "dialogs/FormMsgBox.h"
#include "image/BuiltinPictures.h"

int ShowRunningGame(pid_t holder)
{
    LeaveLogFileAlone();
    ScreenConnection screen;
    Display* display = screen.GetDisplay();
    if (!display) return 1;
    // Two starts at once: the first may still be mapping its window.
    if (Window running = RunningGame::WaitForMainWindow(display, holder)) {
        RunningGame::BringToFront(display, running);
        return 0;
    }
    FormMsgBox notice(0, false, &screen, nullptr, kProductName, "Quorrel is already running.");
    // The notice is the start's only window: task bars show it with the game's icon.
    notice.SetNetIcon(std::vector<unsigned long>(kWindowIcons, kWindowIcons + kWindowIconsLength));
    Application::Run(&notice);
    return 0;
}
