#include "problems/script/thermometer.hpp"

namespace script {

float thermometer_level(float t) { return fig_y[31] - 4 * t; }

void thermometer(float t) {
    const Figure figure("温度計の図");
    fig_x[31] = 960; fig_x[32] = 1008; fig_x[33] = 1024; fig_x[34] = 1032; fig_x[35] = 1048; fig_x[36] = 1096;
    fig_y[31] = 320; fig_y[32] = 440; fig_y[33] = 520; fig_y[34] = 160;

    filled_box(950, fig_y[33], 1106, 128, 13, 12);                       // background
    disc(1028, 472, 16, 15, 5);                                           // bulb
    filled_box(fig_x[33], fig_y[32], fig_x[34], 456, 5);                  // foot of the stem
    for (int i = 1; i <= 70; ++i) {                                       // every degree
        float y = fig_y[32] - 4 * (i - 1);
        line(1016, y, 1040, y, 15);
    }
    for (int i = 1; i <= 14; ++i) {                                       // every five degrees
        float y = fig_y[32] - 20 * (i - 1);
        line(fig_x[32], y, fig_x[35], y, 15);
    }
    // Every ten degrees: a mark across the scale, its label on both sides. The
    // labels are three cells wide, right-aligned by their blanks.
    aux_text[1] = "-30"; aux_text[2] = "-20"; aux_text[3] = "-10"; aux_text[4] = "  0";
    aux_text[5] = " 10"; aux_text[6] = " 20"; aux_text[7] = " 30"; aux_text[8] = " 40";
    for (int i = 1; i <= 8; ++i) {
        float y = fig_y[32] - 40 * (i - 1);
        line(fig_x[31], y, fig_x[36], y, 15);
        text(11, fig_x[31], y - 18, aux_text[i]);
        text(11, fig_x[35], y - 18, aux_text[i]);
    }
    thermometer_column(t);
}

void thermometer_column(float t) {
    const Figure figure("温度計の図");
    filled_box(fig_x[33], fig_y[32], fig_x[34], fig_y[34], 14);         // the empty tube
    filled_box(fig_x[33], fig_y[32], fig_x[34], thermometer_level(t), 5);
}

}  // namespace script
