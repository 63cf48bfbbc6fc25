// What a scene should give, worked out plainly and independently of the
// program's fast paths: the statements as the C library's scanf reads them
// (through the reader, whose agreement with scanf the reader target checks),
// and the echo, VRML and C++ text as printf would write them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "scene/scene.h"

// A statement without its number texts: large scenes have many.
struct PlainStatement {
    StatementKind kind;
    int numbersRead;
    double values[kMaxNumbers];  // as every mode uses them: nan and inf are 0
    double echoed[kMaxNumbers];  // as read
};

struct KeywordInfo {
    const char* text;
    int count;
    int groupCount;
    int groups[5];  // numbers per scanf call; a failure ends its call only
};
const KeywordInfo& keywordInfo(StatementKind kind);
// The keyword a token names as a C string, or Unrecognised.
StatementKind kindOfToken(const char* token);

std::vector<PlainStatement> readStatements(const void* data, std::size_t size,
                                           NumberPrecision precision);
// false when the file cannot be opened.
bool readStatementsFromFile(const char* path, NumberPrecision precision,
                            std::vector<PlainStatement>& out);

std::string printfFixed(double value);  // "%f"
std::string expectedEcho(const std::vector<PlainStatement>& statements);
std::string expectedVrml(const std::vector<PlainStatement>& statements);
std::string expectedSource(const std::vector<PlainStatement>& statements);
