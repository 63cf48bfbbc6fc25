#include "exporters/exporters.h"

// Placeholder until the page writer lands.
bool PageExporter(const char*, const char*) { return false; }
bool PageExportMemory(const void*, std::size_t, std::FILE*) { return false; }
