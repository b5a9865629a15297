#include "engine/state.hpp"

#include <new>
#include <string>

#include "runtime/trace.hpp"

void reset_state() {
    Bank* bank = g.bank;
    g.~State();
    new (&g) State();
    g.bank = bank;
}

namespace {

std::string json_text(const Text& t) { return rt::json_quoted(sjis::to_utf8(t)); }

std::string json_value(float v) { return rt::json_number(v); }
std::string json_value(const Text& t) { return json_text(t); }
template <class T>
std::string json_value(const Array<T>& a) {
    std::string out = "[";
    for (std::size_t i = 0; i < a.items().size(); ++i) out += (i ? "," : "") + json_value(a.items()[i]);
    return out + "]";
}
template <class T>
std::string json_value(const Array2<T>& a) {
    std::string out = "[";
    for (int r = 0; r < a.rows(); ++r) {
        out += r ? ",[" : "[";
        for (int c = 0; c < a.columns(); ++c) out += (c ? "," : "") + json_value(a(r, c));
        out += "]";
    }
    return out + "]";
}

}  // namespace

std::string state_json() {
    std::string out = "{";
    bool first = true;
    g.each([&](const char* name, auto& value) {
        out += (first ? "\"" : ",\"") + std::string(name) + "\":" + json_value(value);
        first = false;
    });
    return out + "}";
}
