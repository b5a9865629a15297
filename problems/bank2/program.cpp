// varnel2: absolute value, comparing numbers, moving along a number line.
#include "problems/script/script.hpp"

namespace script {
namespace {
const ProgramDefinition varnel2(2, "varnel2", 10, "絶対値・数の大小・数直線");
}  // namespace
}  // namespace script
