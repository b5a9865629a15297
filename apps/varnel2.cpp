// varnel2: absolute value, comparing numbers, moving along a number line.
#include "apps/run_window.hpp"

int main() { return run_window(2); }   // the program defined in problems/bank2/program.cpp
