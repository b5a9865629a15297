// The web toolchain's C++ library has no floating-point std::to_chars. The web
// build includes this first: the two forms the runtime uses, through printf.
// The general form with a precision is exactly "%.*g"; the shortest form tries
// precisions until the text reads back as the same float, which matches the
// native form except that "%g" keeps 0.0001 where the native one writes 1e-04.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace std {

inline to_chars_result to_chars(char* first, char* last, float value, chars_format, int precision) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.*g", precision, static_cast<double>(value));
    if (n < 0 || n > last - first) return {last, errc::value_too_large};
    std::memcpy(first, buf, static_cast<size_t>(n));
    return {first + n, errc{}};
}

inline to_chars_result to_chars(char* first, char* last, float value) {
    char buf[64];
    int n = 0;
    for (int precision = 1; precision <= 9; ++precision) {
        n = std::snprintf(buf, sizeof buf, "%.*g", precision, static_cast<double>(value));
        if (std::strtof(buf, nullptr) == value) break;
    }
    if (n < 0 || n > last - first) return {last, errc::value_too_large};
    std::memcpy(first, buf, static_cast<size_t>(n));
    return {first + n, errc{}};
}

}  // namespace std
