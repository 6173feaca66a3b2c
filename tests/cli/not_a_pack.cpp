// A module without the host's protocol entry.
extern "C" int not_the_entry() { return 1; }
