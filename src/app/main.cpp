// Quorrel: start-up and shut-down. Makes sure this is the only game of the working
// directory, resets the log, opens the display, builds the main window, runs the
// event loop, and tears everything down in reverse order.
#include <string>

#include "app/Application.h"
#include "app/InstanceLock.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/ScreenConnection.h"
#include "app/StartPhases.h"
#include "game/FormMain.h"
#include "game/SecondStart.h"
#include "util/FileUtil.h"

int main()
{
    StartPhases::Enter(StartPhases::kLock);
    const InstanceLock lock(kLockFileName);
    if (lock.GetState() == InstanceLock::State::Busy) return ShowRunningGame(lock.Holder());

    if (FileExists(kLogFileName)) RemoveFile(kLogFileName);
    const std::string title = std::string(kProductName) + " - " + kWebAddress + " " + kRightsLine;
    StartPhases::Enter(StartPhases::kDisplay);

    ScreenConnection screen;
    // Nothing can be shown without a display; the message has been logged.
    if (!screen.GetDisplay()) return 1;
    Application::InstallErrorHandlers();
    screen.ChooseScale(FormMain::kWidth, FormMain::kHeight);
    StartPhases::Enter(StartPhases::kWindow);
    {
        FormMain form(&screen, title);
        Application::Run(&form);
    }
    if (!screen.Close()) WriteLog("Chiusura screen non riuscita");
    return 0;
}
