#include "problems/script/bank2_rules.hpp"

namespace script {

void bank2_rules(const Text& second1, const Text& second2) {
    expected(1, 2) = second1;
    expected(2, 2) = second2;
    expected(3, 2) = "AQ:CQ";
    expected(4, 2) = "BP";
    alternative2_mk();
}

}  // namespace script
