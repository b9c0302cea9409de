#if TEVORA_HAVE_PULSE

#include "entry/PulseLibrary.h"

#include <dlfcn.h>

#include <optional>

namespace entry {

namespace {

constexpr const char* LibraryName = "libpulse.so.0";

std::optional<PulseLibrary> load()
{
    // Never closed: libpulse runs threads of its own while a stream is open.
    void* handle = ::dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return std::nullopt;
    PulseLibrary library;
    bool whole = true;
#define TEVORA_PULSE_LOOKUP(name)                                                                        \
    library.name = reinterpret_cast<decltype(library.name)>(::dlsym(handle, "pa_" #name));               \
    whole = whole && library.name;
    TEVORA_PULSE_FUNCTIONS(TEVORA_PULSE_LOOKUP)
#undef TEVORA_PULSE_LOOKUP
    if (!whole)
        return std::nullopt;
    return library;
}

} // namespace

const PulseLibrary* loadPulseLibrary()
{
    static const std::optional<PulseLibrary> library = load();
    return library ? &*library : nullptr;
}

const PulseLibrary& pa()
{
    return *loadPulseLibrary();
}

} // namespace entry

#endif
