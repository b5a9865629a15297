// varnel1: the terms of signed numbers, temperatures, numbers above and below
// zero, natural numbers and integers, reading and placing points on a number
// line, opposite quantities, a table of weights, opposite words.
#include "problems/script/script.hpp"

namespace script {
namespace {
const ProgramDefinition varnel1(1, "varnel1", 11, "正の数・負の数（1）");
}  // namespace
}  // namespace script
