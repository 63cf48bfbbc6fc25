// Exports that carry what a scene means rather than its statements: a web
// page that draws the window's picture, and glTF 2.0. Each reads the scene
// once, echoing every statement as the translators do, and returns whether
// it succeeded; why it failed is lastSceneRun's, as the translators'.
#pragma once

#include <cstddef>
#include <cstdio>

bool PageExporter(const char* sceneFile, const char* outputFile);  // -html
bool GltfExporter(const char* sceneFile, const char* outputFile);  // -gltf

// The same exports of a scene held in memory into an open output, which
// stays open; false if a write failed. For tests and fuzzing.
bool PageExportMemory(const void* scene, std::size_t size, std::FILE* output);
bool GltfExportMemory(const void* scene, std::size_t size, std::FILE* output);
