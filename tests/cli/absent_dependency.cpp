// A library that a pack imports, kept where no loader looks (a folder of its own).
#if defined(_WIN32)
extern "C" __declspec(dllexport) double absent_value() { return 7.0; }
#else
extern "C" __attribute__((visibility("default"))) double absent_value() { return 7.0; }
#endif
