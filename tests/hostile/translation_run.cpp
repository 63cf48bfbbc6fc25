#include "hostile/translation_run.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "fuzz/scene_model.h"
#include "fuzz/wellformed.h"

const TranslatorMode kTranslatorModes[2] = {{"-vrml", ".wrl"}, {"-opengl", ".cpp"}};

TranslationRun runTranslator(const TranslatorMode& mode, const std::string& scene,
                             const std::string& output) {
    TranslationRun t{runProgram({MIROVAN_BINARY, mode.flag, scene, output}), "", ""};
    const std::size_t banner = t.run.out.find('\n');
    t.echo = banner == std::string::npos ? "" : t.run.out.substr(banner + 1);
    // Only a plain file: /dev/full reads as endless zeros.
    if (std::filesystem::is_regular_file(output)) t.output = readFile(output);
    return t;
}

std::string checkTranslation(const TranslatorMode& mode, const std::string& scene,
                             const TranslationRun& t) {
    const bool vrml = std::string_view(mode.flag) == "-vrml";
    std::vector<PlainStatement> statements;
    if (!readStatementsFromFile(
            scene.c_str(), vrml ? NumberPrecision::Double : NumberPrecision::Mixed, statements))
        return "the scene cannot be read back";
    std::string failure = vrml ? checkVrmlShape(t.output) : checkSourceShape(t.output);
    if (!failure.empty()) return "shape: " + failure;
    failure =
        describeDifference(t.output, vrml ? expectedVrml(statements) : expectedSource(statements));
    if (!failure.empty()) return "output " + failure;
    failure = describeDifference(t.echo, expectedEcho(statements));
    return failure.empty() ? "" : "echo " + failure;
}
