#pragma once

// Which platform keys and characters reach the key table, and as what code.
// 0 means the key or character is dropped.

int codeForKey(int platformKey);
int codeForCharacter(unsigned int codepoint);
