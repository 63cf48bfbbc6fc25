// Compact JSON text for the glTF writer, written through a buffer or only
// counted: a binary glTF file states its JSON's length before the JSON, so
// the writer runs once to count and once to write rather than hold the text.
#pragma once

#include <cstddef>
#include <cstdio>

struct JsonOut {
    std::FILE* file;  // null: count only
    std::size_t bytes = 0;
    bool failed = false;
    std::size_t used = 0;
    char buffer[1 << 15];
};

void jsonText(JsonOut& out, const char* text);
void jsonChar(JsonOut& out, char c);
void jsonInt(JsonOut& out, long long value);
// The shortest text that reads back as the same float; -0 as 0.
void jsonFloat(JsonOut& out, float value);
void jsonFloats(JsonOut& out, const float* values, int count);  // [a,b,c]
void jsonFlush(JsonOut& out);
