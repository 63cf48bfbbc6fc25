#include "gltf_json.h"

#include "gltf_number.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#ifdef __linux__
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kBuffer = 1 << 20;

void closeSpill(JsonText& out) {
    if (out.spill && out.ownsSpill) std::fclose(out.spill);
    out.spill = nullptr;
}

// The full buffer kept as a block, or, once the blocks hold `keep` bytes,
// all of it written to the temporary file (blocks stay where none can be made).
void drain(JsonText& out) {
    if (!out.used) return;
    if (!out.spill && out.spillAllowed && out.bytes > out.keep) {
        out.spill = std::tmpfile();
        out.spillAllowed = out.spill != nullptr;
        for (const JsonBlock& block : out.blocks)
            out.spillFailed = out.spillFailed || !out.spill ||
                              std::fwrite(block.text.get(), 1, block.size, out.spill) != block.size;
        if (out.spill) out.blocks.clear();
    }
    if (out.spill) {
        out.spillFailed =
            out.spillFailed || std::fwrite(out.buffer.get(), 1, out.used, out.spill) != out.used;
    } else {
        out.blocks.push_back({std::move(out.buffer), out.used});  // a new buffer follows
    }
    out.used = 0;
}

}  // namespace

char* jsonRoom(JsonText& out, std::size_t length) {
    if (out.used + length > kBuffer) drain(out);
    if (!out.buffer) out.buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
    return out.buffer.get() + out.used;
}

void jsonCommit(JsonText& out, const char* end) {
    const auto length = static_cast<std::size_t>(end - (out.buffer.get() + out.used));
    out.used += length, out.bytes += length;
}

namespace {

void put(JsonText& out, const char* text, std::size_t length) {
    while (length > 0) {  // in pieces no longer than the buffer
        const std::size_t piece = std::min(length, kBuffer);
        std::memcpy(jsonRoom(out, piece), text, piece);
        out.used += piece, out.bytes += piece;
        text += piece, length -= piece;
    }
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
    used = other.used, bytes = other.bytes, spillAllowed = other.spillAllowed, keep = other.keep;
    spill = other.spill, spillFailed = other.spillFailed, ownsSpill = other.ownsSpill;
    blocks = std::move(other.blocks);
    other.spill = nullptr;
    return *this;
}

JsonText::~JsonText() { closeSpill(*this); }

void jsonText(JsonText& out, const char* text) { put(out, text, std::strlen(text)); }
void jsonChar(JsonText& out, char c) { put(out, &c, 1); }

void jsonInt(JsonText& out, long long value) {
    char* at = jsonRoom(out, 24);
    jsonCommit(out, std::to_chars(at, at + 24, value).ptr);
}

void jsonFloat(JsonText& out, float value) {
    jsonCommit(out, printShortFloat(jsonRoom(out, 32), value));
}

void jsonFloats(JsonText& out, const float* values, int count, bool exact) {
    char* at = jsonRoom(out, 4 * 34);
    *at++ = '[';
    for (int i = 0; i < count && i < 4; ++i) {
        if (i) *at++ = ',';
        at = exact ? printExactFloat(at, values[i]) : printShortFloat(at, values[i]);
    }
    *at++ = ']';
    jsonCommit(out, at);
}

void jsonIntList(JsonText& out, const std::int32_t* values, std::size_t count, bool continued) {
    constexpr std::size_t kPiece = 256;  // numbers written per room taken
    char* at = jsonRoom(out, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (i % kPiece == 0) jsonCommit(out, at), at = jsonRoom(out, kPiece * 12 + 1);
        if (i || continued) *at++ = ',';
        at = std::to_chars(at, at + 11, values[i]).ptr;
    }
    jsonCommit(out, at);
}

void jsonInts(JsonText& out, const std::int32_t* values, std::size_t count) {
    jsonChar(out, '[');
    jsonIntList(out, values, count, false);
    jsonChar(out, ']');
}

void jsonStreamInto(JsonText& text, std::FILE* file) {
    text.spill = file;
    text.ownsSpill = false;
}

bool jsonWrite(std::FILE* file, JsonText& text) {
    bool ok = !text.spillFailed;
    if (text.spill == file) {  // streamed: only the buffer is left
        drain(text);
        ok = ok && !text.spillFailed;
        text.spill = nullptr;
        return ok;
    }
    if (text.spill) {
        drain(text);
        ok = ok && !text.spillFailed && std::fflush(text.spill) == 0;
        const long copied = ok ? copyInKernel(text.spill, file, text.bytes) : 0;
        ok = ok && std::fseek(text.spill, copied, SEEK_SET) == 0;
        if (!text.buffer) text.buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
        std::size_t n;
        while (ok && (n = std::fread(text.buffer.get(), 1, kBuffer, text.spill)) > 0)
            ok = std::fwrite(text.buffer.get(), 1, n, file) == n;
        ok = ok && !std::ferror(text.spill);
        closeSpill(text);
        return ok;
    }
    for (const JsonBlock& block : text.blocks)
        ok = ok && std::fwrite(block.text.get(), 1, block.size, file) == block.size;
    return ok && (!text.used || std::fwrite(text.buffer.get(), 1, text.used, file) == text.used);
}
