#include "translators/emit.h"

void emit(TextOut& out, const IndentPrefix& prefix, const char* pattern,
          std::initializer_list<double> numbers) {
    const double* number = numbers.begin();
    const char* run = pattern;
    for (const char* p = pattern;; ++p) {
        const char c = *p;
        if (c != '$' && c != '#' && c != '\0') continue;
        textPut(out, run, static_cast<std::size_t>(p - run));
        if (c == '\0') return;
        if (c == '$') textPut(out, prefix.blanks, static_cast<std::size_t>(prefix.length));
        else if (number != numbers.end()) textPutFixed(out, *number++);
        run = p + 1;
    }
}
