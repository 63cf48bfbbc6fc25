// Finding a message box of any process in this Wine session by its caption,
// reading its text and dismissing it with its OK button.
#pragma once

#include <string>

// Waits up to timeoutMs for a box captioned `caption`; returns its text and
// presses OK, or returns "<no box>" after the deadline.
std::string dismissMessageBox(const char* caption, int timeoutMs);
