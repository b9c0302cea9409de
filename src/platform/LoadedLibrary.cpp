#include "platform/LoadedLibrary.h"

#include <dlfcn.h>

namespace platform {

// Never closed: the library may run threads of its own, and its functions are
// kept in a table for the rest of the run.
LibraryLookup::LibraryLookup(const char* fileName) : m_library(::dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {}

void* LibraryLookup::symbol(const char* name) const
{
    return m_library ? ::dlsym(m_library, name) : nullptr;
}

} // namespace platform
