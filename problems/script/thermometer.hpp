// The thermometer of the temperature and signed-number hints: a scale from
// -30 to +40 ℃ at 4 dots per degree, 0 ℃ at y 320, and a column showing one
// temperature.
//
//     thermometer(num[1]);          // the whole figure, the column at t
//     thermometer_column(num[2]);   // the tube emptied and the column redrawn at t
//
// thermometer() sets fig_x[31..36] (960, 1008, 1024, 1032, 1048, 1096: scale
// edges, five-degree marks, tube, five-degree marks, scale edge) and fig_y[31..34]
// (320 the 0 ℃ level, 440 -30 ℃, 520 the foot of the background, 160 +40 ℃),
// and keeps the scale's labels in aux_text[1..8].
#pragma once

#include "problems/script/script.hpp"

namespace script {

void thermometer(float t);
void thermometer_column(float t);
// The top of the column for t degrees.
float thermometer_level(float t);

}  // namespace script
