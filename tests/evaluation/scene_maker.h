// Random scenes for the evaluation's tests, the same for a seed everywhere:
// nested lights of every kind, spot cut-offs the GL refuses or takes only
// truncated, shininess out of range, Zoom, more than eight lights, unmatched
// Pops, and nesting beyond the GL's stack (32) and the support module's (50).
#pragma once

#include <string>

std::string randomScene(int seed);
