#include "app/AccessBridge.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/AccessServer.h"
#include "app/Application.h"
#include "app/Log.h"
#include "app/SdBus.h"
#include "gui/Form.h"

namespace {
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kRegistry = "org.a11y.atspi.Registry";
constexpr const char* kStatusBus = "org.a11y.Bus";
constexpr const char* kStatusPath = "/org/a11y/bus";

const SdBus* sd = nullptr;
Display* display = nullptr;
sd_bus* session = nullptr;  // where the setting is read
sd_bus* a11y = nullptr;     // the accessibility bus, while joined
bool asking = false;        // an address was asked for and has not come
bool embedSent = false;
bool failureLogged = false;

void LogOnce(const std::string& what, int error)
{
    if (failureLogged) return;
    failureLogged = true;
    WriteLog("Accessibility bus: " + what + " (" + std::strerror(error < 0 ? -error : error) + ")");
}

// ---------------------------------------------------------------- joining and leaving

void Leave()
{
    if (a11y) {
        sd->sd_bus_close(a11y);
        sd->sd_bus_unref(a11y);
    }
    a11y = nullptr;
    embedSent = false;
    AccessServer::Forget();
}

void FailSession(const char* what, int error)
{
    LogOnce(what, error);
    Leave();
    if (session) {
        sd->sd_bus_close(session);
        sd->sd_bus_unref(session);
    }
    session = nullptr;
    asking = false;
}

int OnEmbedded(sd_bus_message* reply, void*, sd_bus_error*)
{
    if (sd->sd_bus_message_is_method_error(reply, nullptr)) return 0;  // no registry yet: it embeds us when it comes
    const char* name = nullptr;
    const char* path = nullptr;
    if (sd->sd_bus_message_read(reply, "(so)", &name, &path) < 0) return 0;
    AccessServer::Embedded(name, path);
    return 0;
}

void Embed()
{
    sd_bus_message* m = nullptr;
    int r = sd->sd_bus_message_new_method_call(a11y, &m, kRegistry, kRootPath, "org.a11y.atspi.Socket", "Embed");
    if (r >= 0) r = AccessServer::AppendRoot(m);
    if (r >= 0) r = sd->sd_bus_call_async(a11y, nullptr, m, OnEmbedded, nullptr, 0);
    sd->sd_bus_message_unref(m);
    embedSent = r >= 0;
}

// A registry that starts again has forgotten the program: it is embedded anew.
int OnRegistryOwner(sd_bus_message* m, void*, sd_bus_error*)
{
    const char *name = nullptr, *before = nullptr, *after = nullptr;
    if (sd->sd_bus_message_read(m, "sss", &name, &before, &after) < 0 || !after) return 0;
    if (*after) Embed();
    return 0;
}

void Join(const char* address)
{
    if (a11y || !address || !*address) return;
    int r = sd->sd_bus_new(&a11y);
    if (r >= 0) r = sd->sd_bus_set_address(a11y, address);
    if (r >= 0) r = sd->sd_bus_set_bus_client(a11y, 1);
    if (r >= 0) r = sd->sd_bus_start(a11y);
    if (r >= 0) r = AccessServer::Serve(sd, a11y, display);
    if (r >= 0)
        r = sd->sd_bus_add_match_async(a11y, nullptr,
                                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                                       "member='NameOwnerChanged',arg0='org.a11y.atspi.Registry'",
                                       OnRegistryOwner, nullptr, nullptr);
    if (r < 0) {
        LogOnce("cannot join", r);
        Leave();
    }
}

int OnAddress(sd_bus_message* reply, void*, sd_bus_error*)
{
    asking = false;
    const char* address = nullptr;
    if (!sd->sd_bus_message_is_method_error(reply, nullptr) && sd->sd_bus_message_read(reply, "s", &address) >= 0)
        Join(address);
    return 0;
}

// Calls `member` of org.a11y.Bus without starting it: a desktop without the
// accessibility bus simply has no answer.
void CallStatusBus(const char* interface, const char* member, sd_bus_message_handler_t answer)
{
    sd_bus_message* m = nullptr;
    int r = sd->sd_bus_message_new_method_call(session, &m, kStatusBus, kStatusPath, interface, member);
    if (r >= 0 && std::strcmp(member, "Get") == 0)
        r = sd->sd_bus_message_append(m, "ss", "org.a11y.Status", "IsEnabled");
    if (r >= 0) r = sd->sd_bus_message_set_auto_start(m, 0);
    if (r >= 0) r = sd->sd_bus_call_async(session, nullptr, m, answer, nullptr, 0);
    sd->sd_bus_message_unref(m);
    if (r < 0) FailSession("cannot ask the session bus", r);
}

void FollowSetting(bool enabled)
{
    if (!enabled) {
        Leave();
    } else if (!a11y && !asking) {
        asking = true;
        CallStatusBus("org.a11y.Bus", "GetAddress", OnAddress);
    }
}

int OnIsEnabled(sd_bus_message* reply, void*, sd_bus_error*)
{
    int enabled = 0;
    if (!sd->sd_bus_message_is_method_error(reply, nullptr) && sd->sd_bus_message_read(reply, "v", "b", &enabled) >= 0)
        FollowSetting(enabled != 0);
    return 0;
}

void AskSetting() { CallStatusBus("org.freedesktop.DBus.Properties", "Get", OnIsEnabled); }

// PropertiesChanged of org.a11y.Status: the setting, when it is among them.
int OnSettingChanged(sd_bus_message* m, void*, sd_bus_error*)
{
    const char* interface = nullptr;
    if (sd->sd_bus_message_read(m, "s", &interface) < 0 || std::strcmp(interface, "org.a11y.Status") != 0) return 0;
    if (sd->sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return 0;
    while (sd->sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* name = nullptr;
        int enabled = 0;
        if (sd->sd_bus_message_read(m, "s", &name) < 0) return 0;
        if (std::strcmp(name, "IsEnabled") == 0) {
            if (sd->sd_bus_message_read(m, "v", "b", &enabled) >= 0) FollowSetting(enabled != 0);
            return 0;
        }
        if (sd->sd_bus_message_skip(m, "v") < 0 || sd->sd_bus_message_exit_container(m) < 0) return 0;
    }
    return 0;
}

// The accessibility bus's launcher came or went.
int OnStatusOwner(sd_bus_message* m, void*, sd_bus_error*)
{
    const char *name = nullptr, *before = nullptr, *after = nullptr;
    if (sd->sd_bus_message_read(m, "sss", &name, &before, &after) < 0 || !after) return 0;
    if (*after)
        AskSetting();
    else
        Leave();
    return 0;
}

void WatchSetting()
{
    int r = sd->sd_bus_open_user(&session);
    if (r < 0) {
        // No session bus: a desktop without one has no screen reader to serve.
        session = nullptr;
        return;
    }
    r = sd->sd_bus_add_match_async(session, nullptr,
                                   "type='signal',interface='org.freedesktop.DBus.Properties',"
                                   "member='PropertiesChanged',path='/org/a11y/bus',arg0='org.a11y.Status'",
                                   OnSettingChanged, nullptr, nullptr);
    if (r >= 0)
        r = sd->sd_bus_add_match_async(session, nullptr,
                                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                                       "member='NameOwnerChanged',arg0='org.a11y.Bus'",
                                       OnStatusOwner, nullptr, nullptr);
    if (r < 0) return FailSession("cannot watch the setting", r);
    AskSetting();
}

// Handles what `bus` has; false when it failed and was closed.
bool ProcessBus(sd_bus*& bus, bool isSession)
{
    // A bounded batch, so that a flood on a bus cannot keep the game from its events.
    for (int i = 0; i < 64 && bus; ++i) {
        const int r = sd->sd_bus_process(bus, nullptr);
        if (r == 0) break;
        if (r < 0) {
            if (isSession)
                FailSession("the session bus failed", r);
            else
                LogOnce("the accessibility bus failed", r), Leave();
            return false;
        }
    }
    return true;
}

uint64_t NowMicroseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}
}  // namespace

void AccessBridge::Start(Display* d)
{
    if (sd || session || a11y) return;
    const char* off = std::getenv("NO_AT_BRIDGE");
    if (off && std::strcmp(off, "1") == 0) return;
    // Without a bus to ask there is nothing to load: the session bus is named, or sits
    // in the user's runtime folder, as sd-bus looks for it.
    const char* address = std::getenv("AT_SPI_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!(address && *address) && !std::getenv("DBUS_SESSION_BUS_ADDRESS") &&
        !(runtime && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0))
        return;
    sd = SdBus::Load();
    if (!sd) return;
    display = d;
    if (address && *address)
        Join(address);
    else
        WatchSetting();
}

void AccessBridge::Stop()
{
    if (!sd) return;
    Leave();
    if (session) {
        sd->sd_bus_close(session);
        sd->sd_bus_unref(session);
    }
    session = nullptr;
}

bool AccessBridge::Running() { return session || a11y; }

int AccessBridge::Wait(int xfd, int ms)
{
    pollfd fds[3] = {{xfd, POLLIN, 0}};
    nfds_t count = 1;
    uint64_t deadline = UINT64_MAX;
    for (sd_bus* bus : {session, a11y}) {
        if (!bus) continue;
        const int fd = sd->sd_bus_get_fd(bus);
        const int events = sd->sd_bus_get_events(bus);
        uint64_t until = UINT64_MAX;
        if (fd < 0 || events < 0) continue;
        if (sd->sd_bus_get_timeout(bus, &until) >= 0 && until < deadline) deadline = until;
        fds[count++] = {fd, static_cast<short>(events), 0};
    }
    int timeout = ms;
    bool busDeadline = false;
    if (deadline != UINT64_MAX) {
        const uint64_t now = NowMicroseconds();
        const int busMs =
            deadline <= now ? 0 : static_cast<int>(std::min<uint64_t>((deadline - now + 999) / 1000, 60000));
        if (timeout < 0 || busMs < timeout) timeout = busMs, busDeadline = true;
    }
    const int ready = poll(fds, count, timeout);
    if (ready < 0) return errno == EINTR ? -1 : 1;  // a failed wait reads X, which blocks until an event
    bool busWork = busDeadline && ready == 0;
    for (nfds_t i = 1; i < count; ++i) busWork = busWork || fds[i].revents != 0;
    if (busWork) {
        ProcessBus(session, true);
        ProcessBus(a11y, false);
        const char* unique = nullptr;
        // The root can be embedded once the bus has told the program its name.
        if (a11y && !embedSent && sd->sd_bus_get_unique_name(a11y, &unique) >= 0) Embed();
        AccessServer::Publish();
    }
    if (fds[0].revents != 0) return 1;
    return ready == 0 && !busDeadline ? 0 : -1;
}

void AccessBridge::AfterEvent(const XEvent& event)
{
    if (event.type == FocusIn || event.type == FocusOut) {
        const XFocusChangeEvent& f = event.xfocus;
        // Focus moving within the window, or to the pointer's window, does not change
        // which window has the keyboard.
        if (f.detail != NotifyInferior && f.detail != NotifyPointer && f.mode != NotifyGrab && f.mode != NotifyUngrab) {
            Form* form = Application::FindFormByWindow(f.window);
            if (event.type == FocusIn && form)
                AccessServer::SetActiveWindow(form->GetId());
            else if (event.type == FocusOut && form && form->GetId() == AccessServer::ActiveWindow())
                AccessServer::SetActiveWindow(0);
        }
    }
    if (!a11y) return;
    switch (event.type) {
    case MotionNotify:
    case EnterNotify:
    case LeaveNotify:
        return;  // nothing a screen reader is told changes with the pointer
    default:
        AccessServer::Publish();
    }
}
