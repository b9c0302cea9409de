// The sanitizer options every test program starts with, whether CTest, the
// whole-program runner or a developer starts it: the leak suppressions of
// tests/lsan.supp, and undefined behaviour reported with its stack and ending the
// program. Options set in the environment (LSAN_OPTIONS, UBSAN_OPTIONS) still
// come after these and win. Compiled into each test program itself rather than a
// library, since nothing else would make the linker take it.

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" TEVORA_LSAN_SUPPRESSIONS;
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
