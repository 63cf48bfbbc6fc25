#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/checks.h"
#include "fuzz/memory_text.h"
#include "fuzz/scene_model.h"
#include "fuzz/wellformed.h"
#include "translators/translators.h"

namespace {

struct Mode {
    const char* name;
    bool (*translate)(const void*, std::size_t, std::FILE*);
    NumberPrecision precision;
    std::string (*expected)(const std::vector<PlainStatement>&);
    std::string (*shape)(const std::string&);
};

const Mode kVrml = {"VRML", VrmlTranslateMemory, NumberPrecision::Double, expectedVrml,
                    checkVrmlShape};
const Mode kSource = {"C++", SourceTranslateMemory, NumberPrecision::Mixed, expectedSource,
                      checkSourceShape};

std::string check(const Mode& mode, const std::uint8_t* data, std::size_t size) {
    MemoryText output;
    ConsoleCapture echo;
    const bool written = mode.translate(data, size, output.file());
    const std::string echoText = echo.take();
    const std::string text = output.take();
    if (!written) return std::string(mode.name) + ": a write into memory failed";

    std::string failure = mode.shape(text);
    if (!failure.empty()) return std::string(mode.name) + " shape: " + failure;
    failure = checkEchoShape(echoText);
    if (!failure.empty()) return std::string(mode.name) + " echo shape: " + failure;

    const std::vector<PlainStatement> statements = readStatements(data, size, mode.precision);
    failure = describeDifference(echoText, expectedEcho(statements));
    if (!failure.empty()) return std::string(mode.name) + " echo " + failure;
    failure = describeDifference(text, mode.expected(statements));
    if (!failure.empty()) return std::string(mode.name) + " output " + failure;
    return "";
}

}  // namespace

std::string checkVrml(const std::uint8_t* data, std::size_t size) {
    return check(kVrml, data, size);
}
std::string checkSource(const std::uint8_t* data, std::size_t size) {
    return check(kSource, data, size);
}
