#pragma once
// A library of the system that the program is built against by its headers only
// and loads when it first needs it rather than at every start (the print
// service's libcups, the sound server's libpulse: each brings many further
// libraries with it). Its functions are reached through a table, a struct with
// one pointer per function used, each of the function's own type: the struct
// names the library's file in `FileName` and declares its pointers with
// TEVORA_LIBRARY_TABLE from a list of the functions. loadedLibrary<Table>()
// loads the library at its first call and looks every function up; the library
// stays loaded for the rest of the run (it may run threads of its own). A
// library that cannot be loaded, or lacks one of the functions, gives no table,
// which its callers take as no service to talk to.

#include <optional>

namespace platform {

// One library being loaded: a table looks its functions up in it by name.
class LibraryLookup {
public:
    explicit LibraryLookup(const char* fileName);

    // Points `function` at the library's function `name`; at nullptr when the
    // library lacks it.
    template <class Function>
    void find(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(symbol(name));
        m_complete = m_complete && function != nullptr;
    }
    // True when the library was loaded and has every function looked up.
    bool complete() const { return m_library != nullptr && m_complete; }

private:
    void* symbol(const char* name) const;

    void* m_library;
    bool m_complete = true;
};

// The library's table, loaded at the first call; nullptr where it cannot be.
template <class Table>
const Table* loadedLibrary()
{
    static const std::optional<Table> table = []() -> std::optional<Table> {
        LibraryLookup lookup(Table::FileName);
        Table functions;
        functions.lookUp(lookup);
        if (!lookup.complete())
            return std::nullopt;
        return functions;
    }();
    return table ? &*table : nullptr;
}

// The table of a library that loadedLibrary has loaded.
template <class Table>
const Table& library()
{
    return *loadedLibrary<Table>();
}

} // namespace platform

// The members of a table: FUNCTIONS(F) lists the library's functions as
// F(prefix, name), and the table gets a pointer `name` to the function
// `prefix##name` (the prefix may be empty) and the lookUp that finds them all.
#define TEVORA_LIBRARY_POINTER(prefix, name) decltype(&::prefix##name) name = nullptr;
#define TEVORA_LIBRARY_FIND(prefix, name) lookup.find(name, #prefix #name);
#define TEVORA_LIBRARY_TABLE(FUNCTIONS)                                                                               \
    FUNCTIONS(TEVORA_LIBRARY_POINTER)                                                                                 \
    void lookUp(::platform::LibraryLookup& lookup) { FUNCTIONS(TEVORA_LIBRARY_FIND) }
