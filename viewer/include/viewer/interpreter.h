// The screen interpreter: reads a scene statement by statement into the
// current GL context, echoing each statement on the console.
#pragma once

#include <cstddef>

// Interprets the whole scene file once; a file that cannot be read is
// reported on the console instead.
void drawSceneFile(const char* path);
// The same for a scene held in memory; `name` stands for it in messages.
void drawSceneText(const char* name, const char* text, std::size_t size);
