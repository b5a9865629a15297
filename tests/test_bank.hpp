// A small bank for driving whole programs in tests: eleven tiny script
// problems in a bank of their own. Problem n asks for 10 + n (problem 2 is a
// self-check problem, problem 3 has two blanks: 13 and -4); its question, hints and answer each draw one graphic
// text ("<q3>", "<hint1 3>", "<hint2 3>", "<answer 3>") that a trace can find.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.hpp"
#include "runtime/trace.hpp"

namespace test_bank {

inline constexpr int kBank = 9;   // no program's bank: the slots are the tests' own

Bank& bank();

// The keys that answer problem n rightly, and a wrong answer for any problem.
std::string right_keys(int n);
inline const std::string kWrongKeys = "0{Enter}";

// Runs "varnel1" with eleven problems on this bank from start-up to the end of
// the key script and returns the trace of everything drawn and every key read.
std::vector<rt::TraceEntry> run(const std::string& keys);

// Trace queries.
int count_text(const std::vector<rt::TraceEntry>& trace, const std::string& text);
// The markers of the question, hint and answer routines, in the order drawn.
std::vector<std::string> markers(const std::vector<rt::TraceEntry>& trace);

}  // namespace test_bank
