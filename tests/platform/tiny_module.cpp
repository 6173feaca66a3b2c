// A module to be loaded from places with long paths and registered as a pack.
extern "C" int vellum_tiny_module_answer() { return 42; }
