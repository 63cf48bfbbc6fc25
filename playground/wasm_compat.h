// Forced into every source of the WebAssembly build (and only there): the
// pieces of the C++20 library that emscripten's libc++ does not have, so
// that the tree's sources compile there unchanged. Native builds never see
// this file.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace mirovan_wasm {

// The shortest decimal text that reads back as `value`, laid out as the
// C++17 shortest std::to_chars lays it out: plain notation when it is no
// longer than the exponent form, the exponent with at least two digits.
char* shortestFloat(char* first, char* last, float value);

}  // namespace mirovan_wasm

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}
#endif

template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t n) {
    return unique_ptr<T>(new remove_extent_t<T>[n]);
}

inline to_chars_result to_chars(char* first, char* last, float value) {
    char* end = mirovan_wasm::shortestFloat(first, last, value);
    if (end == nullptr) return {last, errc::value_too_large};
    return {end, errc{}};
}

// The reader tries this first and falls back to strtod / strtof, which
// read the same way: here it always leaves the text to them.
template <class Real>
requires is_floating_point_v<Real> from_chars_result from_chars(const char* first, const char*,
                                                                Real&, chars_format) {
    return {first, errc::invalid_argument};
}

}  // namespace std
