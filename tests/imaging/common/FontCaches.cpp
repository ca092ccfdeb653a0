// Drawing text loads fontconfig, which keeps a few caches for the life of the process; they are
// not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so";
}
