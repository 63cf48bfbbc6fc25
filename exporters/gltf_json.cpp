#include "gltf_json.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#ifdef __linux__
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kBuffer = 1 << 20;
constexpr std::size_t kKeep = 12 << 20;  // text kept in memory before it spills

void closeSpill(JsonText& out) {
    if (out.spill) std::fclose(out.spill);
    out.spill = nullptr;
}

// The full buffer kept as a block, or, once the blocks hold kKeep bytes,
// all of it written to the temporary file (blocks stay where none can be made).
void drain(JsonText& out) {
    if (!out.used) return;
    if (!out.spill && out.spillAllowed && out.bytes > kKeep) {
        out.spill = std::tmpfile();
        out.spillAllowed = out.spill != nullptr;
        for (const std::string& block : out.blocks)
            out.spillFailed = out.spillFailed || !out.spill ||
                              std::fwrite(block.data(), 1, block.size(), out.spill) != block.size();
        if (out.spill) out.blocks = {};
    }
    if (out.spill) {
        out.spillFailed =
            out.spillFailed || std::fwrite(out.buffer.get(), 1, out.used, out.spill) != out.used;
    } else {
        out.blocks.emplace_back(out.buffer.get(), out.used);
    }
    out.used = 0;
}

// Room for `length` more characters; where they go.
char* room(JsonText& out, std::size_t length) {
    if (!out.buffer) out.buffer = std::make_unique<char[]>(kBuffer);
    if (out.used + length > kBuffer) drain(out);
    return out.buffer.get() + out.used;
}

void put(JsonText& out, const char* text, std::size_t length) {
    if (length > kBuffer) {  // never met: the writer's pieces are short
        drain(out);
        if (out.spill)
            out.spillFailed = out.spillFailed || std::fwrite(text, 1, length, out.spill) != length;
        else
            out.blocks.emplace_back(text, length);
        out.bytes += length;
        return;
    }
    std::memcpy(room(out, length), text, length);
    out.used += length, out.bytes += length;
}

void commit(JsonText& out, const char* end) {
    const auto length = static_cast<std::size_t>(end - (out.buffer.get() + out.used));
    out.used += length, out.bytes += length;
}

char* exactFloat(char* at, float value) {
    return std::to_chars(at, at + 32, value == 0 ? 0.0f : value).ptr;  // no "-0"
}

// Seven significant digits: within half a unit of the float's last place
// or so, and read back as the same float when it came from a short decimal
// (as the scene's numbers do). Much faster than the shortest exact form.
char* shortFloat(char* at, float value) {
    static const double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    double v = value;
    if (v == 0) {
        *at++ = '0';
        return at;
    }
    if (v < 0) *at++ = '-', v = -v;
    if (!(v >= 1e-3 && v < 1e6)) return exactFloat(at, static_cast<float>(v));
    int whole = 1;  // digits before the point
    while (whole < 7 && v >= kPowers[whole]) ++whole;
    int decimals = 7 - whole;
    if (v < 1) {  // leading zeros after the point do not count
        int zeros = 0;
        while (v * kPowers[zeros + 1] < 1) ++zeros;
        decimals = 7 + zeros;
    }
    auto n = static_cast<unsigned long long>(v * kPowers[decimals] + 0.5);
    while (decimals > 0 && n % 10 == 0) n /= 10, --decimals;
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    const int count = static_cast<int>(end - digits);
    if (decimals == 0) return std::copy(digits, end, at);
    if (count <= decimals) {
        *at++ = '0', *at++ = '.';
        for (int i = count; i < decimals; ++i) *at++ = '0';
        return std::copy(digits, end, at);
    }
    at = std::copy(digits, end - decimals, at);
    *at++ = '.';
    return std::copy(end - decimals, end, at);
}

// The temporary file into the output by the kernel, where it can (Linux,
// both regular files): one copy instead of a read and a write. Returns how
// many bytes it copied; the caller writes the rest itself.
long copyInKernel(std::FILE* from, std::FILE* to, std::size_t length) {
#ifdef __linux__
    if (std::fflush(to) != 0) return 0;
    loff_t offset = 0;
    while (static_cast<std::size_t>(offset) < length) {
        const ssize_t n = copy_file_range(fileno(from), &offset, fileno(to), nullptr,
                                          length - static_cast<std::size_t>(offset), 0);
        if (n <= 0) break;
    }
    return static_cast<long>(offset);
#else
    (void)from, (void)to, (void)length;
    return 0;
#endif
}

}  // namespace

JsonText& JsonText::operator=(JsonText&& other) {
    closeSpill(*this);
    buffer = std::move(other.buffer);
    used = other.used, bytes = other.bytes, spillAllowed = other.spillAllowed;
    spill = other.spill, spillFailed = other.spillFailed;
    blocks = std::move(other.blocks);
    other.spill = nullptr;
    return *this;
}

JsonText::~JsonText() { closeSpill(*this); }

void jsonText(JsonText& out, const char* text) { put(out, text, std::strlen(text)); }
void jsonChar(JsonText& out, char c) { put(out, &c, 1); }

void jsonInt(JsonText& out, long long value) {
    char* at = room(out, 24);
    commit(out, std::to_chars(at, at + 24, value).ptr);
}

void jsonFloat(JsonText& out, float value) { commit(out, shortFloat(room(out, 32), value)); }

void jsonFloats(JsonText& out, const float* values, int count, bool exact) {
    char* at = room(out, 4 * 34);
    *at++ = '[';
    for (int i = 0; i < count && i < 4; ++i) {
        if (i) *at++ = ',';
        at = exact ? exactFloat(at, values[i]) : shortFloat(at, values[i]);
    }
    *at++ = ']';
    commit(out, at);
}

void jsonInts(JsonText& out, const std::int32_t* values, std::size_t count) {
    jsonChar(out, '[');
    for (std::size_t i = 0; i < count; ++i) {
        char* at = room(out, 16);
        if (i) *at++ = ',';
        commit(out, std::to_chars(at, at + 12, values[i]).ptr);
    }
    jsonChar(out, ']');
}

bool jsonWrite(std::FILE* file, JsonText& text) {
    bool ok = !text.spillFailed;
    if (text.spill) {
        drain(text);
        ok = ok && !text.spillFailed && std::fflush(text.spill) == 0;
        const long copied = ok ? copyInKernel(text.spill, file, text.bytes) : 0;
        ok = ok && std::fseek(text.spill, copied, SEEK_SET) == 0;
        if (!text.buffer) text.buffer = std::make_unique<char[]>(kBuffer);
        std::size_t n;
        while (ok && (n = std::fread(text.buffer.get(), 1, kBuffer, text.spill)) > 0)
            ok = std::fwrite(text.buffer.get(), 1, n, file) == n;
        ok = ok && !std::ferror(text.spill);
        closeSpill(text);
        return ok;
    }
    for (const std::string& block : text.blocks)
        ok = ok && std::fwrite(block.data(), 1, block.size(), file) == block.size();
    return ok && (!text.used || std::fwrite(text.buffer.get(), 1, text.used, file) == text.used);
}
