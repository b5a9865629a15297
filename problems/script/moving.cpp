#include "problems/script/moving.hpp"

namespace script {

void moving_values() {
    num[3] = first_value([] {
        float amount = INT(RND() * 6 + 2);
        num[6] = INT(RND() * 6 + 2);
        return amount;
    });
    num[1] = 2;
    num[2] = -2;
    num[4] = num[3] + 2;
    num[5] = 2 - num[3];
    num[7] = num[6] - 2;
    num[8] = -2 - num[6];
}

Text signed_form(float answer, const Text& main_form) { return answer > 0 ? "+" + main_form : Text(); }

}  // namespace script
