// A module without the host's protocol entry.
#if defined(_WIN32)
extern "C" __declspec(dllexport) int not_the_entry() { return 1; }
#else
extern "C" __attribute__((visibility("default"))) int not_the_entry() { return 1; }
#endif
