// Writing a translated statement from a pattern: '$' stands for the indent
// prefix and '#' for the next number written as "%f" writes it.
#pragma once

#include <initializer_list>

#include "scene/textout.h"
#include "translators/indent.h"

void emit(TextOut& out, const IndentPrefix& prefix, const char* pattern,
          std::initializer_list<double> numbers = {});
