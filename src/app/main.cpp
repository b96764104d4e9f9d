// Quorrel: start-up and shut-down. Makes sure this is the only game of the working
// directory, resets the log, opens the display, builds the main window, runs the
// event loop, and tears everything down in reverse order.
#include <string>

#include "app/Application.h"
#include "app/InstanceLock.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/RunningGame.h"
#include "app/ScreenConnection.h"
#include "dialogs/FormMsgBox.h"
#include "game/FormMain.h"
#include "util/FileUtil.h"

namespace {

// A game already runs in this directory: bring its window forward, or, where it
// cannot be reached (it shows on another display), say so. Touches none of the
// running game's files.
int ShowRunningGame(pid_t holder)
{
    ScreenConnection screen;
    Display* display = screen.GetDisplay();
    if (!display) return 1;
    if (Window running = RunningGame::FindMainWindow(display, holder)) {
        RunningGame::BringToFront(display, running);
        return 0;
    }
    FormMsgBox notice(0, false, &screen, nullptr, kProductName, "Quorrel is already running.");
    Application::Run(&notice);
    return 0;
}

}  // namespace

int main()
{
    const InstanceLock lock(kLockFileName);
    if (lock.GetState() == InstanceLock::State::Busy) return ShowRunningGame(lock.Holder());

    if (FileExists(kLogFileName)) RemoveFile(kLogFileName);
    const std::string title = std::string(kProductName) + " - " + kWebAddress + " " + kRightsLine;

    auto* screen = new ScreenConnection();
    if (!screen->GetDisplay()) {
        // Nothing can be shown without a display; the message has been logged.
        delete screen;
        return 1;
    }
    Application::InstallErrorHandlers();

    auto* form = new FormMain(screen, title);
    Application::Run(form);

    delete form;
    if (!screen->Close()) WriteLog("Chiusura screen non riuscita");
    delete screen;
    return 0;
}
