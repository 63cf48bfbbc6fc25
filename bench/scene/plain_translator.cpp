// The reference point for the translator benchmark: the VRML translation
// written the plain way, one fscanf and fprintf call after another.
#include "bench/scene/plain_translator.h"

#include <cstdio>
#include <cstring>

namespace {

char prefix[1000];
int depth;

void push() {
    if (depth < 999) prefix[depth++] = ' ', prefix[depth] = 0;
}
void pop() {
    if (depth > 0) prefix[--depth] = 0;
}

}  // namespace

bool plainVrmlTranslator(const char* sceneFile, const char* outputFile) {
    std::FILE* in = std::fopen(sceneFile, "r");
    if (!in) return false;
    std::FILE* out = std::fopen(outputFile, "w");
    depth = 0;
    prefix[0] = 0;
    std::fprintf(out, "#VRML V1.0 ascii\n");
    char token[100];
    const double k = static_cast<float>(3.14159);
    while (std::fscanf(in, "%99s", token) == 1) {
        double v[13] = {};
        const char* P = prefix;
        if (!std::strcmp(token, "Cube")) {
            std::fscanf(in, "%lf %lf %lf", &v[0], &v[1], &v[2]);
            std::printf("Cube %lf %lf %lf", v[0], v[1], v[2]);
            std::fprintf(out, "%sCube {\n", P);
            std::fprintf(out, "%s width %lf\n%s height %lf\n%s depth %lf }\n", P, v[0], P, v[1], P,
                         v[2]);
        } else if (!std::strcmp(token, "Sphere")) {
            std::fscanf(in, "%lf", &v[0]);
            std::printf("Sphere %lf", v[0]);
            std::fprintf(out, "%sSphere {\n", P);
            std::fprintf(out, "%s radius %lf }\n", P, v[0]);
        } else if (!std::strcmp(token, "Translation")) {
            std::fscanf(in, "%lf %lf %lf", &v[0], &v[1], &v[2]);
            std::printf("Translation %lf %lf %lf", v[0], v[1], v[2]);
            std::fprintf(out, "%sTranslation {\n", P);
            std::fprintf(out, "%s translation %lf %lf %lf }\n", P, v[0], v[1], v[2]);
        } else if (!std::strcmp(token, "Rotation")) {
            std::fscanf(in, "%lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3]);
            std::printf("Rotation %lf %lf %lf %lf", v[0], v[1], v[2], v[3]);
            std::fprintf(out, "%sRotation {\n", P);
            std::fprintf(out, "%s rotation %lf %lf %lf %lf }\n", P, v[1], v[2], v[3],
                         v[0] * k / 180);
        } else if (!std::strcmp(token, "Material")) {
            for (int g = 0; g < 4; ++g)
                std::fscanf(in, "%lf %lf %lf", &v[3 * g], &v[3 * g + 1], &v[3 * g + 2]);
            std::fscanf(in, "%lf", &v[12]);
            std::printf("Material %lf %lf %lf", v[0], v[1], v[2]);
            std::printf(" %lf %lf %lf", v[3], v[4], v[5]);
            std::printf(" %lf %lf %lf", v[6], v[7], v[8]);
            std::printf(" %lf %lf %lf %lf", v[9], v[10], v[11], v[12]);
            std::fprintf(out, "%sMaterial {\n", P);
            std::fprintf(out, "%s ambientColor %lf %lf %lf\n", P, v[3], v[4], v[5]);
            std::fprintf(out, "%s diffuseColor %lf %lf %lf\n", P, v[0], v[1], v[2]);
            std::fprintf(out, "%s specularColor %lf %lf %lf\n", P, v[6], v[7], v[8]);
            std::fprintf(out, "%s emissiveColor %lf %lf %lf\n", P, v[9], v[10], v[11]);
            std::fprintf(out, "%s shininess %lf }\n", P, v[12]);
        } else if (!std::strcmp(token, "Push")) {
            std::printf("Push");
            std::fprintf(out, "%sSeparator {\n", P);
            push();
        } else if (!std::strcmp(token, "Pop")) {
            std::printf("Pop");
            pop();
            std::fprintf(out, "%s}\n", prefix);
        }
        std::printf("\n");
    }
    std::fclose(out);
    std::fclose(in);
    return true;
}
