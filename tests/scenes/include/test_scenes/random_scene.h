// Random scenes, the same text for the same seed on every machine.
#pragma once

#include <string>

// A scene that every mode draws alike: each statement kind at least once,
// Push / Pop nested up to four deep and paired (but for every fifth seed,
// which leaves its innermost ones open), a shape before the first Material,
// at most eight lights at a time, numbers of at most three decimals, so
// that a float and a double read back the same from six decimals. 30 to
// 80 statements.
std::string drawableScene(int seed);

// A scene that presses on the evaluation: values the GL refuses or clamps
// (negative sizes, shininess past 128, spot cut-offs past 90), unmatched
// Pops, a lower-case keyword now and then, and on every third seed brackets
// nested far beyond every stack somewhere along the way.
std::string stressScene(int seed);
