#include <cmath>

#include "emit.h"
#include "translation.h"
#include "translators/translators.h"

namespace {

// Degrees to radians with pi as the single-precision 3.14159, multiplying
// first; an angle so large that the product overflows is divided first
// instead, since no reader takes inf.
FixedText radians(double degrees) {
    const double pi = static_cast<float>(3.14159);
    double angle = (degrees * pi) / 180.0;
    if (!std::isfinite(angle)) angle = degrees / 180.0 * pi;
    FixedText text;
    setFixedText(text, angle);
    return text;
}

void writeVrml(TextOut& out, IndentPrefix& prefix, const SceneStatement& s) {
    const FixedText* v = s.texts;
    switch (s.kind) {
        case StatementKind::Cube:
            emit<"$Cube {\n$ width #\n$ height #\n$ depth # }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Sphere: emit<"$Sphere {\n$ radius # }\n">(out, prefix, v[0]); break;
        case StatementKind::Cylindre:
            emit<"$Cylinder {\n$ radius #\n$ height # }\n">(out, prefix, v[0], v[1]);
            break;
        case StatementKind::Cone:
            emit<"$Cone {\n$ bottomRadius #\n$ height # }\n">(out, prefix, v[0], v[1]);
            break;
        case StatementKind::Translation:
            emit<"$Translation {\n$ translation # # # }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Rotation:
            emit<"$Rotation {\n$ rotation # # # # }\n">(out, prefix, v[1], v[2], v[3],
                                                        radians(s.values[0]));
            break;
        case StatementKind::Zoom:
            emit<"$Scale {\n$ scaleFactor # # # }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Push:
            emit<"$Separator {\n">(out, prefix);
            pushIndent(prefix);
            break;
        case StatementKind::Pop:
            popIndent(prefix);
            emit<"$}\n">(out, prefix);
            break;
        case StatementKind::Material:
            emit<
                "$Material {\n$ ambientColor # # #\n$ diffuseColor # # #\n"
                "$ specularColor # # #\n$ emissiveColor # # #\n$ shininess # }\n">(
                out, prefix, v[3], v[4], v[5], v[0], v[1], v[2], v[6], v[7], v[8], v[9], v[10],
                v[11], v[12]);
            break;
        case StatementKind::Pointlight:
            emit<"$PointLight {\n$ intensity #\n$ color # # #\n$ location # # # }\n">(
                out, prefix, v[3], v[4], v[5], v[6], v[0], v[1], v[2]);
            break;
        case StatementKind::Dirlight:
            emit<"$DirectionalLight {\n$ intensity #\n$ color # # #\n$ direction # # # }\n">(
                out, prefix, v[3], v[4], v[5], v[6], v[0], v[1], v[2]);
            break;
        case StatementKind::Spotlight:
            emit<
                "$SpotLight {\n$ intensity #\n$ color # # #\n$ cutOffAngle #\n"
                "$ location # # #\n$ direction # # # }\n">(out, prefix, v[6], v[7], v[8], v[9],
                                                           radians(s.values[10]), v[0], v[1], v[2],
                                                           v[3], v[4], v[5]);
            break;
        case StatementKind::Unrecognised: break;
    }
}

const TranslationMode kVrml = {
    NumberPrecision::Double, 0, "#VRML V1.0 ascii\n", "", writeVrml,
};

}  // namespace

bool VrmlTranslator(const char* sceneFile, const char* outputFile) {
    return runTranslation(kVrml, sceneFile, outputFile);
}

bool VrmlTranslateMemory(const void* scene, std::size_t size, std::FILE* output) {
    return runTranslationMemory(kVrml, scene, size, output);
}
