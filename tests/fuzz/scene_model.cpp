#include "fuzz/scene_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const KeywordInfo kKeywords[] = {
    {"", 0, 0, {}},
    {"Cube", 3, 1, {3}},
    {"Sphere", 1, 1, {1}},
    {"Cylindre", 2, 1, {2}},
    {"Cone", 2, 1, {2}},
    {"Translation", 3, 1, {3}},
    {"Rotation", 4, 1, {4}},
    {"Zoom", 3, 1, {3}},
    {"Push", 0, 0, {}},
    {"Pop", 0, 0, {}},
    {"Material", 13, 5, {3, 3, 3, 3, 1}},
    {"Pointlight", 7, 3, {3, 1, 3}},
    {"Dirlight", 7, 3, {3, 1, 3}},
    {"Spotlight", 11, 5, {3, 3, 1, 3, 1}},
};

// Output patterns: '$' is the indent prefix, '#' the next number in `order`.
// An order entry of kRadians + n is number n turned from degrees to radians.
constexpr int kRadians = 100;

struct Pattern {
    const char* text;
    int order[kMaxNumbers];
};

const Pattern kVrml[] = {
    {"", {}},
    {"$Cube {\n$ width #\n$ height #\n$ depth # }\n", {0, 1, 2}},
    {"$Sphere {\n$ radius # }\n", {0}},
    {"$Cylinder {\n$ radius #\n$ height # }\n", {0, 1}},
    {"$Cone {\n$ bottomRadius #\n$ height # }\n", {0, 1}},
    {"$Translation {\n$ translation # # # }\n", {0, 1, 2}},
    {"$Rotation {\n$ rotation # # # # }\n", {1, 2, 3, kRadians + 0}},
    {"$Scale {\n$ scaleFactor # # # }\n", {0, 1, 2}},
    {"$Separator {\n", {}},
    {"$}\n", {}},
    {"$Material {\n$ ambientColor # # #\n$ diffuseColor # # #\n$ specularColor # # #\n"
     "$ emissiveColor # # #\n$ shininess # }\n",
     {3, 4, 5, 0, 1, 2, 6, 7, 8, 9, 10, 11, 12}},
    {"$PointLight {\n$ intensity #\n$ color # # #\n$ location # # # }\n", {3, 4, 5, 6, 0, 1, 2}},
    {"$DirectionalLight {\n$ intensity #\n$ color # # #\n$ direction # # # }\n",
     {3, 4, 5, 6, 0, 1, 2}},
    {"$SpotLight {\n$ intensity #\n$ color # # #\n$ cutOffAngle #\n$ location # # #\n"
     "$ direction # # # }\n",
     {6, 7, 8, 9, kRadians + 10, 0, 1, 2, 3, 4, 5}},
};

const Pattern kSource[] = {
    {"", {}},
    {"${ auxSolidBox(#,#,#) ; }\n", {0, 1, 2}},
    {"${ auxSolidSphere(#) ; }\n", {0}},
    {"${ myAuxSolidCylinder(#,#) ; }\n", {0, 1}},
    {"${ myAuxSolidCone(#,#) ; }\n", {0, 1}},
    {"${ glTranslatef(#F,#F,#F) ; }\n", {0, 1, 2}},
    {"${ glRotatef(#F,#F,#F,#F) ; }\n", {0, 1, 2, 3}},
    {"${ glScalef(#F,#F,#F) ; }\n", {0, 1, 2}},
    {"${ glPushMatrix() ;\n$  pushMaterial() ;\n$  pushLumieres() ; }\n", {}},
    {"${ glPopMatrix() ;\n$  popMaterial() ;\n$  popLumieres() ; }\n", {}},
    {"${ float ref = # ;\n$  float ma[4] = {#F,#F,#F,1.0F} ;\n$  float md[4] = {#F,#F,#F,1.0F} ;\n"
     "$  float ms[4] = {#F,#F,#F,1.0F} ;\n$  float me[4] = {#F,#F,#F,1.0F} ;\n"
     "$  affecteMaterial(ma,md,me,ms,ref) ; }\n",
     {12, 3, 4, 5, 0, 1, 2, 6, 7, 8, 9, 10, 11}},
    {"${ float x = #F,y = #F,z = #F ;\n$  float i = #F ;\n$  float r = #F,v = #F,b = #F ;\n"
     "$  affectePointLight(r,v,b,x,y,z,i) ; }\n",
     {0, 1, 2, 3, 4, 5, 6}},
    {"${ float dx = #F,dy = #F,dz = #F ;\n$  float i = #F ;\n$  float r = #F,v = #F,b = #F ;\n"
     "$  affecteDirLight(r,v,b,dx,dy,dz,i) ; }\n",
     {0, 1, 2, 3, 4, 5, 6}},
    {"${ float x = #F,y = #F,z = #F ;\n$  float dx = #F,dy = #F,dz = #F ;\n$  float i = #F,o = #F "
     ";\n"
     "$  float r = #F,v = #F,b = #F ;\n$  affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }\n",
     {0, 1, 2, 3, 4, 5, 6, 10, 7, 8, 9}},
};

const int kSpotEchoOrder[] = {0, 1, 2, 3, 4, 5, 6, 10, 7, 8, 9};

double radians(double degrees) {
    const double pi = static_cast<float>(3.14159);
    const double angle = (degrees * pi) / 180.0;
    return std::isfinite(angle) ? angle : degrees / 180.0 * pi;
}

void expand(std::string& out, const Pattern& pattern, const std::string& prefix,
            const PlainStatement& s) {
    int n = 0;
    for (const char* c = pattern.text; *c; ++c) {
        if (*c == '$') {
            out += prefix;
        } else if (*c == '#') {
            const int k = pattern.order[n++];
            out += printfFixed(k >= kRadians ? radians(s.values[k - kRadians]) : s.values[k]);
        } else {
            out += *c;
        }
    }
}

// Push deepens, Pop shortens; only the first 999 levels show.
struct Depth {
    std::int64_t level;
    std::string prefix() const {
        return std::string(static_cast<std::size_t>(std::min<std::int64_t>(level, 999)), ' ');
    }
};

// A Pop with no Push open writes nothing; the Pushes still open at the end
// are closed by the Pops they lack.
std::string translate(const std::vector<PlainStatement>& statements, const Pattern* patterns,
                      std::int64_t startLevel) {
    std::string out;
    Depth depth{startLevel};
    const PlainStatement pop{StatementKind::Pop, 0, {}, {}};
    for (const PlainStatement& s : statements) {
        if (s.kind == StatementKind::Unrecognised) continue;
        if (s.kind == StatementKind::Pop) {
            if (depth.level == startLevel) continue;
            --depth.level;
        }
        expand(out, patterns[static_cast<int>(s.kind)], depth.prefix(), s);
        if (s.kind == StatementKind::Push) ++depth.level;
    }
    while (depth.level > startLevel) {
        --depth.level;
        expand(out, patterns[static_cast<int>(StatementKind::Pop)], depth.prefix(), pop);
    }
    return out;
}

}  // namespace

const KeywordInfo& keywordInfo(StatementKind kind) { return kKeywords[static_cast<int>(kind)]; }

StatementKind kindOfToken(const char* token) {
    for (int k = 1; k < static_cast<int>(sizeof kKeywords / sizeof kKeywords[0]); ++k)
        if (std::strcmp(token, kKeywords[k].text) == 0) return static_cast<StatementKind>(k);
    return StatementKind::Unrecognised;
}

namespace {

std::vector<PlainStatement> readOpened(NumberPrecision precision) {
    std::vector<PlainStatement> out;
    SceneStatement s;
    while (nextStatement(s, precision)) {
        PlainStatement p{s.kind, s.numbersRead, {}, {}};
        std::copy(s.values, s.values + s.count, p.values);
        std::copy(s.values, s.values + s.count, p.echoed);
        // A number read as nan or inf shows in its echo text alone.
        for (int n = 0; n < s.count; ++n)
            if (s.nonFinite & (1u << n))
                p.echoed[n] =
                    std::strtod(std::string(s.texts[n].text, s.texts[n].length).c_str(), nullptr);
        out.push_back(p);
    }
    closeScene();
    return out;
}

}  // namespace

std::vector<PlainStatement> readStatements(const void* data, std::size_t size,
                                           NumberPrecision precision) {
    openSceneMemory(data, size);
    return readOpened(precision);
}

bool readStatementsFromFile(const char* path, NumberPrecision precision,
                            std::vector<PlainStatement>& out) {
    if (openScene(path) != SceneOpen::Opened) return false;
    out = readOpened(precision);
    return true;
}

std::string printfFixed(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

std::string expectedEcho(const std::vector<PlainStatement>& statements) {
    std::string out;
    for (const PlainStatement& s : statements) {
        const KeywordInfo& info = keywordInfo(s.kind);
        out += info.text;
        for (int n = 0; n < info.count; ++n) {
            out += ' ';
            out +=
                printfFixed(s.echoed[s.kind == StatementKind::Spotlight ? kSpotEchoOrder[n] : n]);
        }
        out += '\n';
    }
    return out;
}

std::string expectedVrml(const std::vector<PlainStatement>& statements) {
    return "#VRML V1.0 ascii\n" + translate(statements, kVrml, 0);
}

std::string expectedSource(const std::vector<PlainStatement>& statements) {
    return "#include <windows.h>\n\n#include <GL/gl.h>\n#include <GL/glu.h>\n#include "
           "<GL/glaux.h>\n\n"
           "#include \"GestionOpenGL.h\"\n\n"
           "void scene(void) {\n glPushMatrix() ;\n" +
           translate(statements, kSource, 1) +
           " glPopMatrix() ;\n}\n\n"
           "void myInit (void) {\n  glShadeModel(GL_SMOOTH);\n  glEnable(GL_DEPTH_TEST) ;\n"
           "  glEnable(GL_LIGHTING) ;\n  glEnable(GL_LIGHT0) ;\n}\n";
}
