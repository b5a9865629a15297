// The table of five pupils' weights relative to 56 kg, shared by the two
// problems that ask for its blank cells (the weights of A and B, and the
// differences of C, D and E).
#pragma once

#include "problems/script/script.hpp"

namespace script {

// The values, in the order they are drawn. The differences of A to E are
// num[1], num[4], num[7], num[10], num[13]; each is followed by the weight
// (56 + difference) and the size of the difference.
void weight_values();

// After the number-text conversion: a "+" before the positive differences,
// and the cells both problems show (the pupils' names, the differences of A
// and B, the weights of C, D and E). Each problem then fills its own cells:
// aux_text[13..15] (differences of C, D, E) and aux_text[21..22] (weights of A, B).
void weight_cells();

// The three rows: names (aux_text[1..5]), differences (aux_text[11..15]) and
// weights (aux_text[21..25]), each a 96-dot header box and five 48-dot cells.
void weight_table();

}  // namespace script
