// Built into every program of the sanitizer build, so that a test run by hand behaves as
// it does under ctest.

extern "C" {

const char* __asan_default_options()
{
    return "check_initialization_order=1:strict_init_order=1:strict_string_checks=1";
}

const char* __ubsan_default_options() { return "print_stacktrace=1"; }

// fontconfig loses a few hundred bytes parsing its configuration files the first time it
// starts; the unwinder cannot see into it, so its allocations are known by the library.
const char* __lsan_default_options() { return "print_suppressions=0"; }

const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

}
