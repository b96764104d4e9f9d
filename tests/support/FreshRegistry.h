#pragma once
// Empties the registry when a fixture is built and when it is gone. Make it the
// fixture's first member (or base) so that elements held as later members register
// into the fresh registry and leave it again before it is emptied.
#include "app/Application.h"

struct FreshRegistry {
    FreshRegistry() { Application::ResetForTests(); }
    ~FreshRegistry() { Application::ResetForTests(); }
    FreshRegistry(const FreshRegistry&) = delete;
    FreshRegistry& operator=(const FreshRegistry&) = delete;
};
