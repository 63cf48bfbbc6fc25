// Shape rules that translated text keeps whatever the scene, checked on the
// text alone. Each returns what is wrong, or an empty string.
#pragma once

#include <string>

// VRML: the header, then nodes whose name line stands at the depth of the
// open Separators (at most 999 blanks) and whose field lines, of finite
// numbers, stand one blank deeper; a "}" line closes the innermost
// Separator, and none is left open at the end.
std::string checkVrmlShape(const std::string& text);

// C++ source: braces balanced and never closed before they open; the scene
// function's frame intact; every statement one block, its first line "{ "
// after the prefix and its continuation lines two blanks deeper; no nan or
// inf, which would not compile.
std::string checkSourceShape(const std::string& text);

// The echo: each line empty or a keyword followed by exactly its numbers,
// each as "%f" writes one.
std::string checkEchoShape(const std::string& text);

// "%f" output: [-]digits.dddddd, or [-]inf / [-]nan.
bool isFixedText(const std::string& word);

// Where two texts part, with a little of each: empty when they are equal.
std::string describeDifference(const std::string& got, const std::string& want);
