#pragma once
// Loading a shared library by path for the substitute host. The one place in sim/ that
// calls the platform's loader.
#include <memory>
#include <string>

#include "host/environment.h"

namespace sim {

// The library at `path` (UTF-8), or null when it cannot be loaded.
std::unique_ptr<host::Library> open_library(const std::string& path);

}  // namespace sim
