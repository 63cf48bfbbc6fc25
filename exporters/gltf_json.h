// Compact JSON text for the glTF writer, held in blocks as it is made. A
// binary glTF file states its length before its JSON, so the text is made
// once, whole, before the file is written; blocks rather than one string
// keep a big scene's memory from doubling as the text grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct JsonText {
    std::vector<std::string> blocks;
    std::size_t bytes = 0;
};

void jsonText(JsonText& out, const char* text);
void jsonChar(JsonText& out, char c);
void jsonInt(JsonText& out, long long value);
// The shortest text that reads back as the same float; -0 as 0.
void jsonFloat(JsonText& out, float value);
void jsonFloats(JsonText& out, const float* values, int count);  // [a,b,c]
void jsonInts(JsonText& out, const std::int32_t* values, std::size_t count);
bool jsonWrite(std::FILE* file, const JsonText& text);  // false if a write failed
