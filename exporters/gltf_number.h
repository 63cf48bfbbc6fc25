// Numbers as the glTF writer prints them. Hundreds of thousands of nodes
// carry ten numbers each, so printing them is much of the export's time.
#pragma once

// Seven significant digits, no "-0", no exponent between 1e-3 and 1e6:
// within half a unit of the float's last place or so, and read back as the
// same float when it came from a short decimal (as the scene's numbers do).
// Needs room for 32 characters; returns the end.
char* printShortFloat(char* at, float value);
// The shortest text that reads back as the very same float (accessor
// bounds must be exact), no "-0".
char* printExactFloat(char* at, float value);
