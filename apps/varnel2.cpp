// varnel2: absolute value, comparing numbers, moving along a number line.
#include "apps/run_window.hpp"
#include "problems/script/script.hpp"

int main() { return run_window({"varnel2", 10, &script::bank(2)}); }
