#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "exporters/exporters.h"
#include "fuzz/checks.h"
#include "fuzz/memory_text.h"
#include "fuzz/scene_model.h"
#include "fuzz/wellformed.h"

namespace {

std::uint32_t little32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k) value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

// The container a glTF reader walks first: header, then chunks whose
// lengths add up to the file, each a multiple of four, JSON first.
std::string checkGlbFrame(const std::string& glb) {
    if (glb.size() < 20 || glb.compare(0, 4, "glTF") != 0) return "no glTF header";
    if (little32(glb, 4) != 2) return "version is not 2";
    if (little32(glb, 8) != glb.size()) return "header length is not the file's";
    std::size_t at = 12;
    for (int chunk = 0; at < glb.size(); ++chunk) {
        if (glb.size() - at < 8) return "a chunk header cut short";
        const std::uint32_t length = little32(glb, at), type = little32(glb, at + 4);
        if (length % 4 != 0) return "a chunk not padded to four bytes";
        if (length > glb.size() - at - 8) return "a chunk runs past the file";
        if (chunk == 0 && type != 0x4E4F534Au) return "the first chunk is not JSON";
        if (chunk == 0 && glb[at + 8] != '{') return "the JSON chunk does not open an object";
        at += 8 + length;
    }
    return "";
}

std::string checkEcho(const char* mode, const std::string& echo, const std::uint8_t* data,
                      std::size_t size) {
    const std::string expected = expectedEcho(readStatements(data, size, NumberPrecision::Mixed));
    const std::string failure = describeDifference(echo, expected);
    return failure.empty() ? "" : std::string(mode) + " echo " + failure;
}

}  // namespace

std::string checkExports(const std::uint8_t* data, std::size_t size) {
    std::string page, glb, pageEcho, glbEcho;
    {
        MemoryText output;
        ConsoleCapture echo;
        if (!PageExportMemory(data, size, output.file())) return "page: a write into memory failed";
        pageEcho = echo.take();
        page = output.take();
    }
    {
        MemoryText output;
        ConsoleCapture echo;
        if (!GltfExportMemory(data, size, output.file())) return "glTF: a write into memory failed";
        glbEcho = echo.take();
        glb = output.take();
    }
    std::string failure = checkEcho("page", pageEcho, data, size);
    if (failure.empty()) failure = checkEcho("glTF", glbEcho, data, size);
    if (!failure.empty()) return failure;
    if (page.rfind("</html>") == std::string::npos) return "page: the page is not closed";
    failure = checkGlbFrame(glb);
    return failure.empty() ? "" : "glTF: " + failure;
}
