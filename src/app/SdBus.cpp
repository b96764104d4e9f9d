#include "app/SdBus.h"

#include <dlfcn.h>

const SdBus* SdBus::Load()
{
    static SdBus bus;
    static bool tried = false, loaded = false;
    if (tried) return loaded ? &bus : nullptr;
    tried = true;
    // Kept loaded for the rest of the run: the bridge may join and leave several times.
    void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
#define QUORREL_SD_BUS_RESOLVE(name)                                       \
    bus.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    if (!bus.name) return nullptr;
    QUORREL_SD_BUS_FUNCTIONS(QUORREL_SD_BUS_RESOLVE)
#undef QUORREL_SD_BUS_RESOLVE
    bus.vtableFormat = static_cast<const unsigned*>(dlsym(library, "sd_bus_object_vtable_format"));
    if (!bus.vtableFormat) return nullptr;
    loaded = true;
    return &bus;
}
