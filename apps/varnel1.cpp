// varnel1: terms, temperatures, number lines, opposite quantities, a weights table.
#include "apps/run_window.hpp"
#include "problems/script/script.hpp"

int main() { return run_window({"varnel1", 11, &script::bank(1)}); }
