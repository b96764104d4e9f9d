// Quorrel: start-up and shut-down. Makes sure this is the only game of the working
// directory, resets the log, opens the display, builds the main window, runs the
// event loop, and tears everything down in reverse order.
#include <string>

#include "app/Application.h"
#include "app/InstanceLock.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/ScreenConnection.h"
#include "game/FormMain.h"
#include "game/SecondStart.h"
#include "util/FileUtil.h"

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
    screen->ChooseScale(FormMain::kWidth, FormMain::kHeight);

    auto* form = new FormMain(screen, title);
    Application::Run(form);

    delete form;
    if (!screen->Close()) WriteLog("Chiusura screen non riuscita");
    delete screen;
    return 0;
}
