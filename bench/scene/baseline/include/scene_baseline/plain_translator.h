// The reference translation written the plain way: one fscanf and fprintf
// call after another, as the C library reads and writes. The benchmark
// measures against it and the differential test compares with its files.
#pragma once

#include <cstdio>

enum class PlainMode { Vrml, Source };

// Translates `sceneFile` into `outputFile`, echoing to `echo`; false when a
// file cannot be opened. Tokens are read with "%99s", so a token longer
// than 99 characters reads as several here (the translators take it whole).
bool plainTranslate(PlainMode mode, const char* sceneFile, const char* outputFile, std::FILE* echo);
