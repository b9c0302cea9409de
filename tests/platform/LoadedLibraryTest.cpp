// A library loaded when first needed: its table reaches every function it lists,
// by the name with its prefix, as the library's own; a library that lacks one of
// them, or cannot be loaded at all, gives no table.

#include "platform/LoadedLibrary.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

// Declared only: no library has it.
extern "C" int tevora_function_no_library_has();

namespace {

#define TEVORA_TEST_C_FUNCTIONS(F)                                                                                    \
    F(get, pid)                                                                                                       \
    F(, strlen)

struct CLibrary {
    static constexpr const char* FileName = "libc.so.6";
    TEVORA_LIBRARY_TABLE(TEVORA_TEST_C_FUNCTIONS)
};

#define TEVORA_TEST_MISSING_FUNCTIONS(F)                                                                              \
    F(get, pid)                                                                                                       \
    F(, tevora_function_no_library_has)

struct LibraryLackingAFunction {
    static constexpr const char* FileName = "libc.so.6";
    TEVORA_LIBRARY_TABLE(TEVORA_TEST_MISSING_FUNCTIONS)
};

struct MissingLibrary {
    static constexpr const char* FileName = "libtevora-no-such-library.so.1";
    TEVORA_LIBRARY_TABLE(TEVORA_TEST_C_FUNCTIONS)
};

TEST(LoadedLibrary, TheTableReachesTheLibrarysFunctionsByTheirFullNames)
{
    const CLibrary* c = platform::loadedLibrary<CLibrary>();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->pid(), ::getpid());
    EXPECT_EQ(c->strlen("家系図"), std::strlen("家系図"));
    EXPECT_EQ(&platform::library<CLibrary>(), c) << "loaded once for the run";
}

TEST(LoadedLibrary, ALibraryLackingAFunctionOrMissingGivesNoTable)
{
    EXPECT_EQ(platform::loadedLibrary<LibraryLackingAFunction>(), nullptr);
    EXPECT_EQ(platform::loadedLibrary<MissingLibrary>(), nullptr);
}

} // namespace
