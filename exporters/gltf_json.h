// Compact JSON text for the glTF writer. A binary glTF file states its
// length before its JSON, so the text is made whole before the file is
// written: it gathers in a buffer that, once full, goes to a temporary file
// (so a big scene's memory stays flat), or to blocks in memory where no
// temporary file can be made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

// A filled buffer kept in memory.
struct JsonBlock {
    std::unique_ptr<char[]> text;
    std::size_t size;
};

struct JsonText {
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    std::size_t bytes = 0;  // all the text so far
    bool spillAllowed = false;
    std::size_t keep = 12 << 20;  // bytes kept in memory before the text spills
    std::FILE* spill = nullptr;   // opened when the buffer first fills
    bool ownsSpill = true;        // false for the output itself (jsonStreamInto)
    bool spillFailed = false;
    std::vector<JsonBlock> blocks;  // before the temporary file, or without one
    JsonText() = default;
    JsonText(JsonText&&) = default;
    JsonText& operator=(JsonText&& other);
    ~JsonText();
};

// Writing in place: room for `length` (at most 1 MiB) more characters,
// then the end of what was written there.
char* jsonRoom(JsonText& out, std::size_t length);
void jsonCommit(JsonText& out, const char* end);
void jsonText(JsonText& out, const char* text);
void jsonChar(JsonText& out, char c);
void jsonInt(JsonText& out, long long value);
// Numbers to seven significant digits, no "-0"; `exact`: the shortest text
// that reads back as the very same float (accessor bounds must be exact).
void jsonFloat(JsonText& out, float value);
void jsonFloats(JsonText& out, const float* values, int count,
                bool exact = false);  // [a,b,c], count <= 4
// [a,b,c]; jsonIntList: a,b,c without the brackets, `continued` after other
// numbers (a comma first).
void jsonInts(JsonText& out, const std::int32_t* values, std::size_t count);
void jsonIntList(JsonText& out, const std::int32_t* values, std::size_t count, bool continued);
bool jsonWrite(std::FILE* file, JsonText& text);  // false if a write failed
// The text goes straight into `file`, at its position, as the buffer
// fills; jsonWrite into that same file then writes what is left.
void jsonStreamInto(JsonText& text, std::FILE* file);
