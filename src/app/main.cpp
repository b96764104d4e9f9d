// Quorrel: start-up and shut-down. Resets the log, opens the display, builds the
// main window, runs the event loop, and tears everything down in reverse order.
#include <string>

#include "app/Application.h"
#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "gui/Form.h"
#include "util/FileUtil.h"

namespace {
constexpr const char* kTitleLine = "Quorrel - https://www.quorrel.example";
constexpr const char* kRightsLine = "(c) 2026 The Quorrel developers";

bool CloseMainWindow(GUIElement*)
{
    Application::SetQuit(true);
    return true;
}
}  // namespace

int main()
{
    if (FileExists(kLogFileName)) RemoveFile(kLogFileName);
    const std::string title = std::string(kTitleLine) + " " + kRightsLine;

    auto* screen = new ScreenConnection();
    if (!screen->GetDisplay()) {
        // Nothing can be shown without a display; the message has been logged.
        delete screen;
        return 1;
    }
    Application::InstallErrorHandlers();

    auto* form = new Form(nullptr);
    Application::SetMainForm(form);
    form->SetScreen(screen);
    form->SetSize(800, 600);
    form->SetTitle(title);
    form->SetOnQueryClose(CloseMainWindow);
    form->CenterOnScreen();
    form->Create();

    Application::Run(form);

    delete form;
    if (!screen->Close()) WriteLog("Chiusura screen non riuscita");
    delete screen;
    return 0;
}
