#include "gltf_json.h"

#include <charconv>
#include <cstring>

namespace {

void put(JsonOut& out, const char* text, std::size_t length) {
    out.bytes += length;
    if (!out.file) return;
    if (out.used + length > sizeof out.buffer) jsonFlush(out);
    if (length > sizeof out.buffer) {
        out.failed = out.failed || std::fwrite(text, 1, length, out.file) != length;
        return;
    }
    std::memcpy(out.buffer + out.used, text, length);
    out.used += length;
}

}  // namespace

void jsonText(JsonOut& out, const char* text) { put(out, text, std::strlen(text)); }
void jsonChar(JsonOut& out, char c) { put(out, &c, 1); }

void jsonInt(JsonOut& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(out, digits, static_cast<std::size_t>(end - digits));
}

void jsonFloat(JsonOut& out, float value) {
    if (value == 0) value = 0;  // no "-0"
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(out, digits, static_cast<std::size_t>(end - digits));
}

void jsonFloats(JsonOut& out, const float* values, int count) {
    jsonChar(out, '[');
    for (int i = 0; i < count; ++i) {
        if (i) jsonChar(out, ',');
        jsonFloat(out, values[i]);
    }
    jsonChar(out, ']');
}

void jsonFlush(JsonOut& out) {
    if (out.file && out.used)
        out.failed = out.failed || std::fwrite(out.buffer, 1, out.used, out.file) != out.used;
    out.used = 0;
}
