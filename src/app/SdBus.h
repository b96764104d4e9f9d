#pragma once
// The D-Bus library of libsystemd (sd-bus), loaded the first time the accessibility
// bridge needs it rather than at every start: a game whose player runs no screen
// reader never maps it, and one who does pays for it after the first picture.
#include <systemd/sd-bus.h>

#define QUORREL_SD_BUS_FUNCTIONS(X)     \
    X(sd_bus_open_user)                 \
    X(sd_bus_new)                       \
    X(sd_bus_set_address)               \
    X(sd_bus_set_bus_client)            \
    X(sd_bus_start)                     \
    X(sd_bus_close)                     \
    X(sd_bus_unref)                     \
    X(sd_bus_get_fd)                    \
    X(sd_bus_get_events)                \
    X(sd_bus_get_timeout)               \
    X(sd_bus_process)                   \
    X(sd_bus_get_unique_name)           \
    X(sd_bus_send)                      \
    X(sd_bus_call_async)                \
    X(sd_bus_add_match_async)           \
    X(sd_bus_add_fallback_vtable)       \
    X(sd_bus_add_object_vtable)         \
    X(sd_bus_slot_unref)                \
    X(sd_bus_reply_method_return)       \
    X(sd_bus_message_new_method_call)   \
    X(sd_bus_message_new_method_return) \
    X(sd_bus_message_new_signal)        \
    X(sd_bus_message_set_auto_start)    \
    X(sd_bus_message_unref)             \
    X(sd_bus_message_append)            \
    X(sd_bus_message_read)              \
    X(sd_bus_message_skip)              \
    X(sd_bus_message_open_container)    \
    X(sd_bus_message_close_container)   \
    X(sd_bus_message_enter_container)   \
    X(sd_bus_message_exit_container)    \
    X(sd_bus_message_get_path)          \
    X(sd_bus_message_get_error)         \
    X(sd_bus_message_is_method_error)

struct SdBus {
#define QUORREL_SD_BUS_POINTER(name) decltype(&::name) name = nullptr;
    QUORREL_SD_BUS_FUNCTIONS(QUORREL_SD_BUS_POINTER)
#undef QUORREL_SD_BUS_POINTER
    // The library's mark that the vtables below are of its format.
    const unsigned* vtableFormat = nullptr;

    // Loads the library once; null when it or one of its functions is missing.
    static const SdBus* Load();
};
