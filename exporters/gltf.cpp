#include "exporters/exporters.h"

// Placeholder until the glTF writer lands.
bool GltfExporter(const char*, const char*) { return false; }
bool GltfExportMemory(const void*, std::size_t, std::FILE*) { return false; }
