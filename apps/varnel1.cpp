// varnel1: terms, temperatures, number lines, opposite quantities, a weights table.
#include "apps/run_window.hpp"

int main(int argc, char** argv) { return run_window(1, argc, argv); }   // the program defined in problems/bank1/program.cpp
