// A tiny library that the declared-function tests load by name.
extern "C" int qdecl_twice_plus_one(int x) { return 2 * x + 1; }
