#include "scene_baseline/plain_translator.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kPrefixMax = 999;

struct PlainState {
    std::FILE* in;
    std::FILE* out;
    std::FILE* echo;
    PlainMode mode;
    bool single;  // numbers other than the shapes' read as float
    char prefix[kPrefixMax + 1];
    long depth;   // open Pushes
    int initial;  // blanks at the top level
};

PlainState plain;

void setPrefix() {
    long n = plain.initial + plain.depth;
    if (n > kPrefixMax) n = kPrefixMax;
    std::memset(plain.prefix, ' ', static_cast<std::size_t>(n));
    plain.prefix[n] = '\0';
}

// "%lf" or "%f" for `count` numbers, as one fscanf call; numbers not read
// stay 0.
void readGroup(double* v, int count, bool single) {
    if (!single) {
        if (count == 1) std::fscanf(plain.in, "%lf", &v[0]);
        if (count == 2) std::fscanf(plain.in, "%lf %lf", &v[0], &v[1]);
        if (count == 3) std::fscanf(plain.in, "%lf %lf %lf", &v[0], &v[1], &v[2]);
        if (count == 4) std::fscanf(plain.in, "%lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3]);
        return;
    }
    float f[4] = {0, 0, 0, 0};
    if (count == 1) std::fscanf(plain.in, "%f", &f[0]);
    if (count == 3) std::fscanf(plain.in, "%f %f %f", &f[0], &f[1], &f[2]);
    if (count == 4) std::fscanf(plain.in, "%f %f %f %f", &f[0], &f[1], &f[2], &f[3]);
    for (int i = 0; i < count; ++i) v[i] = f[i];
}

// Numbers that are not finite are written as 0 and echoed as read.
void finiteOnly(double* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i])) v[i] = 0.0;
}

double radians(double degrees) {
    const double pi = static_cast<float>(3.14159);
    const double angle = (degrees * pi) / 180.0;
    return std::isfinite(angle) ? angle : degrees / 180.0 * pi;
}

void echoNumbers(const double* v, int count) {
    for (int i = 0; i < count; ++i) std::fprintf(plain.echo, " %f", v[i]);
}

void vrmlStatement(const char* k, double* v) {
    const char* P = plain.prefix;
    std::FILE* o = plain.out;
    if (!std::strcmp(k, "Cube")) {
        std::fprintf(o, "%sCube {\n", P);
        std::fprintf(o, "%s width %lf\n%s height %lf\n%s depth %lf }\n", P, v[0], P, v[1], P, v[2]);
    } else if (!std::strcmp(k, "Sphere")) {
        std::fprintf(o, "%sSphere {\n", P);
        std::fprintf(o, "%s radius %lf }\n", P, v[0]);
    } else if (!std::strcmp(k, "Cylindre")) {
        std::fprintf(o, "%sCylinder {\n", P);
        std::fprintf(o, "%s radius %lf\n", P, v[0]);
        std::fprintf(o, "%s height %lf }\n", P, v[1]);
    } else if (!std::strcmp(k, "Cone")) {
        std::fprintf(o, "%sCone {\n", P);
        std::fprintf(o, "%s bottomRadius %lf\n", P, v[0]);
        std::fprintf(o, "%s height %lf }\n", P, v[1]);
    } else if (!std::strcmp(k, "Translation")) {
        std::fprintf(o, "%sTranslation {\n", P);
        std::fprintf(o, "%s translation %lf %lf %lf }\n", P, v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Rotation")) {
        std::fprintf(o, "%sRotation {\n", P);
        std::fprintf(o, "%s rotation %lf %lf %lf %lf }\n", P, v[1], v[2], v[3], radians(v[0]));
    } else if (!std::strcmp(k, "Zoom")) {
        std::fprintf(o, "%sScale {\n", P);
        std::fprintf(o, "%s scaleFactor %lf %lf %lf }\n", P, v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Push")) {
        std::fprintf(o, "%sSeparator {\n", P);
    } else if (!std::strcmp(k, "Pop")) {
        std::fprintf(o, "%s}\n", P);
    } else if (!std::strcmp(k, "Material")) {
        std::fprintf(o, "%sMaterial {\n", P);
        std::fprintf(o, "%s ambientColor %lf %lf %lf\n", P, v[3], v[4], v[5]);
        std::fprintf(o, "%s diffuseColor %lf %lf %lf\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s specularColor %lf %lf %lf\n", P, v[6], v[7], v[8]);
        std::fprintf(o, "%s emissiveColor %lf %lf %lf\n", P, v[9], v[10], v[11]);
        std::fprintf(o, "%s shininess %lf }\n", P, v[12]);
    } else if (!std::strcmp(k, "Pointlight") || !std::strcmp(k, "Dirlight")) {
        const bool point = k[0] == 'P';
        std::fprintf(o, point ? "%sPointLight {\n" : "%sDirectionalLight {\n", P);
        std::fprintf(o, "%s intensity %lf\n", P, v[3]);
        std::fprintf(o, "%s color %lf %lf %lf\n", P, v[4], v[5], v[6]);
        std::fprintf(o, point ? "%s location %lf %lf %lf }\n" : "%s direction %lf %lf %lf }\n", P,
                     v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Spotlight")) {
        std::fprintf(o, "%sSpotLight {\n", P);
        std::fprintf(o, "%s intensity %lf\n", P, v[6]);
        std::fprintf(o, "%s color %lf %lf %lf\n", P, v[7], v[8], v[9]);
        std::fprintf(o, "%s cutOffAngle %lf\n", P, radians(v[10]));
        std::fprintf(o, "%s location %lf %lf %lf\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s direction %lf %lf %lf }\n", P, v[3], v[4], v[5]);
    }
}

void sourceStatement(const char* k, double* v) {
    const char* P = plain.prefix;
    std::FILE* o = plain.out;
    if (!std::strcmp(k, "Cube")) {
        std::fprintf(o, "%s{ auxSolidBox(%lf,%lf,%lf) ; }\n", P, v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Sphere")) {
        std::fprintf(o, "%s{ auxSolidSphere(%lf) ; }\n", P, v[0]);
    } else if (!std::strcmp(k, "Cylindre")) {
        std::fprintf(o, "%s{ myAuxSolidCylinder(%lf,%lf) ; }\n", P, v[0], v[1]);
    } else if (!std::strcmp(k, "Cone")) {
        std::fprintf(o, "%s{ myAuxSolidCone(%lf,%lf) ; }\n", P, v[0], v[1]);
    } else if (!std::strcmp(k, "Translation")) {
        std::fprintf(o, "%s{ glTranslatef(%fF,%fF,%fF) ; }\n", P, v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Rotation")) {
        std::fprintf(o, "%s{ glRotatef(%fF,%fF,%fF,%fF) ; }\n", P, v[0], v[1], v[2], v[3]);
    } else if (!std::strcmp(k, "Zoom")) {
        std::fprintf(o, "%s{ glScalef(%fF,%fF,%fF) ; }\n", P, v[0], v[1], v[2]);
    } else if (!std::strcmp(k, "Push")) {
        std::fprintf(o, "%s{ glPushMatrix() ;\n", P);
        std::fprintf(o, "%s  pushMaterial() ;\n", P);
        std::fprintf(o, "%s  pushLumieres() ; }\n", P);
    } else if (!std::strcmp(k, "Pop")) {
        std::fprintf(o, "%s{ glPopMatrix() ;\n", P);
        std::fprintf(o, "%s  popMaterial() ;\n", P);
        std::fprintf(o, "%s  popLumieres() ; }\n", P);
    } else if (!std::strcmp(k, "Material")) {
        std::fprintf(o, "%s{ float ref = %f ;\n", P, v[12]);
        std::fprintf(o, "%s  float ma[4] = {%fF,%fF,%fF,1.0F} ;\n", P, v[3], v[4], v[5]);
        std::fprintf(o, "%s  float md[4] = {%fF,%fF,%fF,1.0F} ;\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s  float ms[4] = {%fF,%fF,%fF,1.0F} ;\n", P, v[6], v[7], v[8]);
        std::fprintf(o, "%s  float me[4] = {%fF,%fF,%fF,1.0F} ;\n", P, v[9], v[10], v[11]);
        std::fprintf(o, "%s  affecteMaterial(ma,md,me,ms,ref) ; }\n", P);
    } else if (!std::strcmp(k, "Pointlight")) {
        std::fprintf(o, "%s{ float x = %fF,y = %fF,z = %fF ;\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s  float i = %fF ;\n", P, v[3]);
        std::fprintf(o, "%s  float r = %fF,v = %fF,b = %fF ;\n", P, v[4], v[5], v[6]);
        std::fprintf(o, "%s  affectePointLight(r,v,b,x,y,z,i) ; }\n", P);
    } else if (!std::strcmp(k, "Dirlight")) {
        std::fprintf(o, "%s{ float dx = %fF,dy = %fF,dz = %fF ;\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s  float i = %fF ;\n", P, v[3]);
        std::fprintf(o, "%s  float r = %fF,v = %fF,b = %fF ;\n", P, v[4], v[5], v[6]);
        std::fprintf(o, "%s  affecteDirLight(r,v,b,dx,dy,dz,i) ; }\n", P);
    } else if (!std::strcmp(k, "Spotlight")) {
        std::fprintf(o, "%s{ float x = %fF,y = %fF,z = %fF ;\n", P, v[0], v[1], v[2]);
        std::fprintf(o, "%s  float dx = %fF,dy = %fF,dz = %fF ;\n", P, v[3], v[4], v[5]);
        std::fprintf(o, "%s  float i = %fF,o = %fF ;\n", P, v[6], v[10]);
        std::fprintf(o, "%s  float r = %fF,v = %fF,b = %fF ;\n", P, v[7], v[8], v[9]);
        std::fprintf(o, "%s  affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }\n", P);
    }
}

struct Keyword {
    const char* text;
    int groups[6];  // numbers per fscanf call, 0-terminated
    bool shape;     // read in double precision by both modes
};

const Keyword kKeywords[] = {
    {"Cube", {3}, true},
    {"Sphere", {1}, true},
    {"Cylindre", {2}, true},
    {"Cone", {2}, true},
    {"Translation", {3}, false},
    {"Rotation", {4}, false},
    {"Zoom", {3}, false},
    {"Push", {}, false},
    {"Pop", {}, false},
    {"Material", {3, 3, 3, 3, 1}, false},
    {"Pointlight", {3, 1, 3}, false},
    {"Dirlight", {3, 1, 3}, false},
    {"Spotlight", {3, 3, 1, 3, 1}, false},
};

void statement(const Keyword& k) {
    double v[13] = {};
    int count = 0;
    const bool single = plain.single && !k.shape;
    for (int g = 0; k.groups[g] != 0; ++g) {
        readGroup(v + count, k.groups[g], single);
        count += k.groups[g];
    }
    std::fputs(k.text, plain.echo);
    if (!std::strcmp(k.text, "Spotlight")) {
        echoNumbers(v, 7);
        echoNumbers(v + 10, 1);
        echoNumbers(v + 7, 3);
    } else {
        echoNumbers(v, count);
    }
    finiteOnly(v, count);

    const bool pop = !std::strcmp(k.text, "Pop");
    if (pop && plain.depth == 0) return;  // nothing open: echoed only
    if (pop) --plain.depth, setPrefix();
    if (plain.mode == PlainMode::Vrml)
        vrmlStatement(k.text, v);
    else
        sourceStatement(k.text, v);
    if (!std::strcmp(k.text, "Push")) ++plain.depth, setPrefix();
}

}  // namespace

bool plainTranslate(PlainMode mode, const char* sceneFile, const char* outputFile,
                    std::FILE* echo) {
    plain.in = std::fopen(sceneFile, "r");
    if (!plain.in) return false;
    plain.out = std::fopen(outputFile, "w");
    if (!plain.out) {
        std::fclose(plain.in);
        return false;
    }
    plain.echo = echo;
    plain.mode = mode;
    plain.single = mode == PlainMode::Source;
    plain.initial = mode == PlainMode::Source ? 1 : 0;
    plain.depth = 0;
    setPrefix();
    if (mode == PlainMode::Vrml)
        std::fprintf(plain.out, "#VRML V1.0 ascii\n");
    else
        std::fprintf(plain.out,
                     "#include <windows.h>\n\n#include <GL/gl.h>\n#include <GL/glu.h>\n"
                     "#include <GL/glaux.h>\n\n#include \"GestionOpenGL.h\"\n\n"
                     "void scene(void) {\n glPushMatrix() ;\n");

    char token[100];
    while (std::fscanf(plain.in, "%99s", token) == 1) {
        for (const Keyword& k : kKeywords)
            if (!std::strcmp(token, k.text)) statement(k);
        std::fputc('\n', plain.echo);
    }
    // Pushes still open are closed as their Pops would have closed them.
    double none[13] = {};
    while (plain.depth > 0) {
        --plain.depth, setPrefix();
        if (mode == PlainMode::Vrml)
            vrmlStatement("Pop", none);
        else
            sourceStatement("Pop", none);
    }
    if (mode == PlainMode::Source)
        std::fprintf(plain.out,
                     " glPopMatrix() ;\n}\n\nvoid myInit (void) {\n  glShadeModel(GL_SMOOTH);\n"
                     "  glEnable(GL_DEPTH_TEST) ;\n  glEnable(GL_LIGHTING) ;\n"
                     "  glEnable(GL_LIGHT0) ;\n}\n");
    std::fclose(plain.out);
    std::fclose(plain.in);
    return true;
}
