#include "runtime/keys.hpp"

#include <string>

namespace rt {

namespace {

// The ASCII character an input method's or a keyboard's variant stands for.
char ascii_for(char32_t u) {
    if (u >= 0x20 && u <= 0x7E) return static_cast<char>(u);
    if (u >= 0xFF01 && u <= 0xFF5E) return static_cast<char>(u - 0xFEE0);   // full-width forms
    switch (u) {
    case U'\u3000': return ' ';   // the ideographic space
    case U'ー': case U'ｰ': case U'−': case U'‐': case U'‑': case U'‒': case U'–': return '-';
    case U'。': case U'｡': return '.';
    case U'、': case U'､': return ',';
    case U'・': case U'･': return '/';   // an input method's slash (its middle dot)
    case U'￥': case U'¥': return '\\';
    default: return 0;
    }
}

// The form a symbol is known by where Unicode has two ("≤" and "≦").
char32_t known_form(char32_t u) {
    if (u == U'≤') return U'≦';
    if (u == U'≥') return U'≧';
    return u;
}

}  // namespace

Key typed_key(char32_t u) {
    Key key{.name = sjis::utf8_of(u), .typed = known_form(u)};
    if (char c = ascii_for(u)) key.text = Text(1, c);
    return key;
}

Key key_named(std::string_view name) {
    if (name == "Enter") return {0, "\r", "Enter"};
    if (name == "BS") return {0, "\b", "BS"};
    if (name == "Del") return {0, "\x7f", "Del"};
    if (name == "Space") return {0, " ", "Space"};
    if (name == "Ctrl+L") return {0, "\x0c", "Ctrl+L"};
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' && name[1] >= '1' && name[1] <= '9') {
        const int n = std::stoi(std::string(name.substr(1)));
        if (n >= 1 && n <= 12 && std::to_string(n) == name.substr(1)) return {n, {}, std::string(name)};
    }
    std::size_t i = 0;
    if (!name.empty()) {
        const char32_t u = sjis::next_utf8(name, i);
        if (i == name.size()) return typed_key(u);
    }
    return {};
}

}  // namespace rt
