#include "ScopedTempDir.h"

#include <stdexcept>

ScopedTempDir::ScopedTempDir()
{
    if (!Ok()) throw std::runtime_error("cannot make or enter a temporary directory");
}
