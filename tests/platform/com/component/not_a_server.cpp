// A loadable module that is no in-process server: it exports none of the entry points.

extern "C" __attribute__((visibility("default"))) int notAServer() { return 1; }
