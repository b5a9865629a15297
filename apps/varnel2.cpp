// varnel2: absolute value, comparing numbers, moving along a number line.
#include "apps/run_window.hpp"

int main(int argc, char** argv) { return run_window(2, argc, argv); }   // the program defined in problems/bank2/program.cpp
