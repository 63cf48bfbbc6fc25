#include "translators/emit.h"
#include "translators/translation.h"
#include "translators/translators.h"

namespace {

// Degrees to radians with pi as the single-precision 3.14159, multiplying first.
double radians(double degrees) {
    const double pi = static_cast<float>(3.14159);
    return (degrees * pi) / 180.0;
}

void writeVrml(TextOut& out, IndentPrefix& prefix, const SceneStatement& s) {
    const double* v = s.values;
    switch (s.kind) {
        case StatementKind::Cube:
            emit(out, prefix, "$Cube {\n$ width #\n$ height #\n$ depth # }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Sphere:
            emit(out, prefix, "$Sphere {\n$ radius # }\n", {v[0]});
            break;
        case StatementKind::Cylindre:
            emit(out, prefix, "$Cylinder {\n$ radius #\n$ height # }\n", {v[0], v[1]});
            break;
        case StatementKind::Cone:
            emit(out, prefix, "$Cone {\n$ bottomRadius #\n$ height # }\n", {v[0], v[1]});
            break;
        case StatementKind::Translation:
            emit(out, prefix, "$Translation {\n$ translation # # # }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Rotation:
            emit(out, prefix, "$Rotation {\n$ rotation # # # # }\n",
                 {v[1], v[2], v[3], radians(v[0])});
            break;
        case StatementKind::Zoom:
            emit(out, prefix, "$Scale {\n$ scaleFactor # # # }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Push:
            emit(out, prefix, "$Separator {\n");
            pushIndent(prefix);
            break;
        case StatementKind::Pop:
            popIndent(prefix);
            emit(out, prefix, "$}\n");
            break;
        case StatementKind::Material:
            emit(out, prefix,
                 "$Material {\n$ ambientColor # # #\n$ diffuseColor # # #\n"
                 "$ specularColor # # #\n$ emissiveColor # # #\n$ shininess # }\n",
                 {v[3], v[4], v[5], v[0], v[1], v[2], v[6], v[7], v[8], v[9], v[10], v[11], v[12]});
            break;
        case StatementKind::Pointlight:
            emit(out, prefix, "$PointLight {\n$ intensity #\n$ color # # #\n$ location # # # }\n",
                 {v[3], v[4], v[5], v[6], v[0], v[1], v[2]});
            break;
        case StatementKind::Dirlight:
            emit(out, prefix,
                 "$DirectionalLight {\n$ intensity #\n$ color # # #\n$ direction # # # }\n",
                 {v[3], v[4], v[5], v[6], v[0], v[1], v[2]});
            break;
        case StatementKind::Spotlight:
            emit(out, prefix,
                 "$SpotLight {\n$ intensity #\n$ color # # #\n$ cutOffAngle #\n"
                 "$ location # # #\n$ direction # # # }\n",
                 {v[6], v[7], v[8], v[9], radians(v[10]), v[0], v[1], v[2], v[3], v[4], v[5]});
            break;
        case StatementKind::Unrecognised:
            break;
    }
}

const TranslationMode kVrml = {
    NumberPrecision::Double, 0, "#VRML V1.0 ascii\n", "", writeVrml,
};

}  // namespace

bool VrmlTranslator(const char* sceneFile, const char* outputFile) {
    return runTranslation(kVrml, sceneFile, outputFile);
}
