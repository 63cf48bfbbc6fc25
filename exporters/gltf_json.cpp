#include "gltf_json.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBlock = 1 << 20;

void put(JsonText& out, const char* text, std::size_t length) {
    out.bytes += length;
    if (out.blocks.empty() || out.blocks.back().size() + length > out.blocks.back().capacity()) {
        out.blocks.emplace_back();
        out.blocks.back().reserve(length > kBlock ? length : kBlock);
    }
    out.blocks.back().append(text, length);
}

}  // namespace

void jsonText(JsonText& out, const char* text) { put(out, text, std::strlen(text)); }
void jsonChar(JsonText& out, char c) { put(out, &c, 1); }

void jsonInt(JsonText& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(out, digits, static_cast<std::size_t>(end - digits));
}

void jsonFloat(JsonText& out, float value) {
    if (value == 0) value = 0;  // no "-0"
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(out, digits, static_cast<std::size_t>(end - digits));
}

void jsonFloats(JsonText& out, const float* values, int count) {
    char text[16 * 34];
    char* end = text;
    *end++ = '[';
    for (int i = 0; i < count && i < 16; ++i) {
        if (i) *end++ = ',';
        end = std::to_chars(end, end + 32, values[i] == 0 ? 0.0f : values[i]).ptr;
    }
    *end++ = ']';
    put(out, text, static_cast<std::size_t>(end - text));
}

void jsonInts(JsonText& out, const std::int32_t* values, std::size_t count) {
    jsonChar(out, '[');
    for (std::size_t i = 0; i < count; ++i) {
        if (i) jsonChar(out, ',');
        jsonInt(out, values[i]);
    }
    jsonChar(out, ']');
}

bool jsonWrite(std::FILE* file, const JsonText& text) {
    for (const std::string& block : text.blocks)
        if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) return false;
    return true;
}
