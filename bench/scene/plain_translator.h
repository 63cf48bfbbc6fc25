#pragma once
// Covers the statements that the benchmark scene uses.
bool plainVrmlTranslator(const char* sceneFile, const char* outputFile);
