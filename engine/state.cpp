#include "engine/state.hpp"

#include <new>

void reset_state() {
    Bank* bank = g.bank;
    g.~State();
    new (&g) State();
    g.bank = bank;
}
