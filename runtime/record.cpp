#include "runtime/record.hpp"

#include <chrono>

#include "runtime/backend.hpp"
#include "runtime/screen.hpp"

namespace rt {

void record_row(const RecordRow& row) { backend().keep_row(row); }
void record_pending(const RecordRow& row) { backend().keep_pending(row); }
Pupil record_pupil() { return backend().pupil(); }
void record_ask_pupil() { backend().ask_pupil(); }
int record_next_practice(int run) { return backend().next_practice(run); }
std::string date_time_text() { return backend().date_time(); }

double seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace rt
