// Both translators through the real program: output files and echo checked
// against literal text.
#include <gtest/gtest.h>

#include <string>

#include "common/run.h"

namespace {

struct Translation {
    RunResult run;
    std::string output;
};

Translation translate(const char* mode, const std::string& scene) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", scene);
    const std::string out = dir + (std::string(mode) == "-vrml" ? "/s.wrl" : "/s.cpp");
    Translation t{runProgram({MIROVAN_BINARY, mode, dir + "/s.scn", out}), ""};
    t.output = readFile(out);
    // The banner names the files; keep only what follows it.
    t.run.out = t.run.out.substr(t.run.out.find('\n') + 1);
    return t;
}

const std::string kIncludes =
    "#include <windows.h>\n\n#include <GL/gl.h>\n#include <GL/glu.h>\n#include <GL/glaux.h>\n\n"
    "#include \"GestionOpenGL.h\"\n\n";
const std::string kSceneOpen = "void scene(void) {\n glPushMatrix() ;\n";
const std::string kSceneClose = " glPopMatrix() ;\n}\n\n";
const std::string kMyInit =
    "void myInit (void) {\n  glShadeModel(GL_SMOOTH);\n  glEnable(GL_DEPTH_TEST) ;\n"
    "  glEnable(GL_LIGHTING) ;\n  glEnable(GL_LIGHT0) ;\n}\n";

std::string source(const std::string& body) {
    return kIncludes + kSceneOpen + body + kSceneClose + kMyInit;
}

}  // namespace

TEST(Vrml, WorkedExample) {
    Translation t = translate("-vrml", "Push\nRotation 90 0 1 0\nCube 1 2 3\nPop\n");
    EXPECT_EQ(t.run.status, 0);
    EXPECT_EQ(t.output,
              "#VRML V1.0 ascii\nSeparator {\n Rotation {\n  rotation 0.000000 1.000000 0.000000 "
              "1.570795 }\n Cube {\n  width 1.000000\n  height 2.000000\n  depth 3.000000 }\n}\n");
    EXPECT_EQ(t.run.out,
              "Push\nRotation 90.000000 0.000000 1.000000 0.000000\nCube 1.000000 2.000000 "
              "3.000000\nPop\n");
}

TEST(Vrml, EmptyScenesGiveTheHeaderOnly) {
    for (const char* scene : {"", "  \n\n \t\n"}) {
        Translation t = translate("-vrml", scene);
        EXPECT_EQ(t.output, "#VRML V1.0 ascii\n");
        EXPECT_EQ(t.run.out, "");
    }
}

// Brackets stay paired in the file whatever the scene: a Pop with nothing
// open is echoed but writes nothing, and the Pushes left open are closed
// at the end, without an echo.
TEST(Vrml, SeparatorNesting) {
    EXPECT_EQ(translate("-vrml", "Push Pop").output, "#VRML V1.0 ascii\nSeparator {\n}\n");
    Translation t = translate("-vrml", "Pop Sphere 1 Push Pop Pop Cone 1 2");
    EXPECT_EQ(t.output,
              "#VRML V1.0 ascii\nSphere {\n radius 1.000000 }\nSeparator {\n}\n"
              "Cone {\n bottomRadius 1.000000\n height 2.000000 }\n");
    EXPECT_EQ(t.run.out, "Pop\nSphere 1.000000\nPush\nPop\nPop\nCone 1.000000 2.000000\n");
    t = translate("-vrml", "Push Push Push Zoom 1 2 3 Pop");
    EXPECT_EQ(t.output,
              "#VRML V1.0 ascii\nSeparator {\n Separator {\n  Separator {\n   Scale {\n"
              "    scaleFactor 1.000000 2.000000 3.000000 }\n  }\n }\n}\n");
    EXPECT_EQ(t.run.out, "Push\nPush\nPush\nZoom 1.000000 2.000000 3.000000\nPop\n");
}

// No VRML reader takes nan or inf: such a number is written as 0, and echoed
// as read. A double too large for a float is a finite number here.
TEST(Vrml, NumbersThatAreNotFiniteAreWrittenAsZero) {
    Translation t = translate("-vrml", "Translation nan inf -inf Rotation inf 0 1 0 Sphere 1e39");
    EXPECT_EQ(t.output,
              "#VRML V1.0 ascii\nTranslation {\n translation 0.000000 0.000000 0.000000 }\n"
              "Rotation {\n rotation 0.000000 1.000000 0.000000 0.000000 }\n"
              "Sphere {\n radius 999999999999999939709166371603178586112.000000 }\n");
    EXPECT_EQ(t.run.out,
              "Translation nan inf -inf\nRotation inf 0.000000 1.000000 0.000000\n"
              "Sphere 999999999999999939709166371603178586112.000000\n");
}

TEST(Vrml, EveryNodeAndFieldOrder) {
    Translation t = translate("-vrml",
                              "Sphere 0.5 Cylindre 1 2 Cone 3 4 Translation 1234.5678 0 -0.5 "
                              "Rotation -90 1 0 0 Material 1 0 0 0 1 0 1 1 1 0 0 0 50 "
                              "Pointlight 1 2 3 0.5 1 0.5 0.25 Dirlight 0 -1 0 1 1 1 1 "
                              "Spotlight 0 5 0 0 -1 0 1 1 1 1 45");
    EXPECT_EQ(
        t.output,
        "#VRML V1.0 ascii\n"
        "Sphere {\n radius 0.500000 }\n"
        "Cylinder {\n radius 1.000000\n height 2.000000 }\n"
        "Cone {\n bottomRadius 3.000000\n height 4.000000 }\n"
        "Translation {\n translation 1234.567800 0.000000 -0.500000 }\n"
        "Rotation {\n rotation 1.000000 0.000000 0.000000 -1.570795 }\n"
        "Material {\n ambientColor 0.000000 1.000000 0.000000\n"
        " diffuseColor 1.000000 0.000000 0.000000\n specularColor 1.000000 1.000000 1.000000\n"
        " emissiveColor 0.000000 0.000000 0.000000\n shininess 50.000000 }\n"
        "PointLight {\n intensity 0.500000\n color 1.000000 0.500000 0.250000\n"
        " location 1.000000 2.000000 3.000000 }\n"
        "DirectionalLight {\n intensity 1.000000\n color 1.000000 1.000000 1.000000\n"
        " direction 0.000000 -1.000000 0.000000 }\n"
        "SpotLight {\n intensity 1.000000\n color 1.000000 1.000000 1.000000\n"
        " cutOffAngle 0.785398\n location 0.000000 5.000000 0.000000\n"
        " direction 0.000000 -1.000000 0.000000 }\n");
    EXPECT_NE(t.run.out.find("Spotlight 0.000000 5.000000 0.000000 0.000000 -1.000000 0.000000 "
                             "1.000000 45.000000 1.000000 1.000000 1.000000\n"),
              std::string::npos);
}

TEST(Vrml, AnglesToRadians) {
    auto angle = [](const char* degrees) {
        std::string out = translate("-vrml", std::string("Rotation ") + degrees + " 0 0 1").output;
        return out.substr(out.rfind(' ', out.size() - 4) + 1,
                          out.size() - 3 - out.rfind(' ', out.size() - 4) - 1);
    };
    EXPECT_EQ(angle("90"), "1.570795");
    EXPECT_EQ(angle("45"), "0.785398");
    EXPECT_EQ(angle("30"), "0.523598");
    EXPECT_EQ(angle("180"), "3.141590");
}

TEST(Vrml, LowerCaseKeywordIsNotTranslated) {
    Translation t = translate("-vrml", "cube 1 2 3");
    EXPECT_EQ(t.output, "#VRML V1.0 ascii\n");
    EXPECT_EQ(t.run.out, "\n\n\n\n");
}

TEST(Vrml, DeepNestingStaysWellFormed) {
    std::string scene;
    for (int i = 0; i < 1200; ++i) scene += "Push\n";
    scene += "Sphere 1\n";
    for (int i = 0; i < 1200; ++i) scene += "Pop\n";
    scene += "Sphere 2\n";
    const std::string out = translate("-vrml", scene).output;
    EXPECT_NE(out.find(std::string(999, ' ') + "Sphere {\n"), std::string::npos);
    EXPECT_EQ(out.find(std::string(1001, ' ')), std::string::npos);  // field lines: prefix + 1
    EXPECT_NE(out.find("\n}\nSphere {\n radius 2.000000 }\n"), std::string::npos);
}

TEST(Source, WorkedExample) {
    Translation t = translate("-opengl", "Push\nTranslation 1 0 0\nSphere 0.5\nPop\n");
    EXPECT_EQ(t.run.status, 0);
    EXPECT_EQ(t.output, source(" { glPushMatrix() ;\n   pushMaterial() ;\n   pushLumieres() ; }\n"
                               "  { glTranslatef(1.000000F,0.000000F,0.000000F) ; }\n"
                               "  { auxSolidSphere(0.500000) ; }\n"
                               " { glPopMatrix() ;\n   popMaterial() ;\n   popLumieres() ; }\n"));
    EXPECT_EQ(t.run.out, "Push\nTranslation 1.000000 0.000000 0.000000\nSphere 0.500000\nPop\n");
}

TEST(Source, EmptySceneGivesTheFrame) {
    Translation t = translate("-opengl", " \n");
    EXPECT_EQ(t.output, source(""));
    EXPECT_EQ(t.run.out, "");
}

TEST(Source, MaterialBlock) {
    EXPECT_EQ(translate("-opengl", "Material 1 0 0 0.3 0.3 0.3 1 1 1 0 0 0 50").output,
              source(" { float ref = 50.000000 ;\n"
                     "   float ma[4] = {0.300000F,0.300000F,0.300000F,1.0F} ;\n"
                     "   float md[4] = {1.000000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   float ms[4] = {1.000000F,1.000000F,1.000000F,1.0F} ;\n"
                     "   float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   affecteMaterial(ma,md,me,ms,ref) ; }\n"));
    // Colours cut short are written as zero.
    EXPECT_EQ(translate("-opengl", "Material 0.5").output,
              source(" { float ref = 0.000000 ;\n"
                     "   float ma[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   float md[4] = {0.500000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   float ms[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   float me[4] = {0.000000F,0.000000F,0.000000F,1.0F} ;\n"
                     "   affecteMaterial(ma,md,me,ms,ref) ; }\n"));
}

TEST(Source, LightBlocks) {
    EXPECT_EQ(translate("-opengl",
                        "Pointlight 1 2 3 0.5 1 0.5 0.25 Dirlight 0 -1 0 1 1 1 1 "
                        "Spotlight 0 5 0 0 -1 0 1 1 1 1 45")
                  .output,
              source(" { float x = 1.000000F,y = 2.000000F,z = 3.000000F ;\n"
                     "   float i = 0.500000F ;\n"
                     "   float r = 1.000000F,v = 0.500000F,b = 0.250000F ;\n"
                     "   affectePointLight(r,v,b,x,y,z,i) ; }\n"
                     " { float dx = 0.000000F,dy = -1.000000F,dz = 0.000000F ;\n"
                     "   float i = 1.000000F ;\n"
                     "   float r = 1.000000F,v = 1.000000F,b = 1.000000F ;\n"
                     "   affecteDirLight(r,v,b,dx,dy,dz,i) ; }\n"
                     " { float x = 0.000000F,y = 5.000000F,z = 0.000000F ;\n"
                     "   float dx = 0.000000F,dy = -1.000000F,dz = 0.000000F ;\n"
                     "   float i = 1.000000F,o = 45.000000F ;\n"
                     "   float r = 1.000000F,v = 1.000000F,b = 1.000000F ;\n"
                     "   affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }\n"));
}

TEST(Source, TransformsAndPrecision) {
    EXPECT_EQ(translate("-opengl",
                        "Rotation 90 0 1 0 Zoom 2 2 2 Translation 1234.5678 0 0 "
                        "Cube 1234.5678 1 1 Cylindre 1 4 Cone 1 2")
                  .output,
              source(" { glRotatef(90.000000F,0.000000F,1.000000F,0.000000F) ; }\n"
                     " { glScalef(2.000000F,2.000000F,2.000000F) ; }\n"
                     " { glTranslatef(1234.567749F,0.000000F,0.000000F) ; }\n"
                     " { auxSolidBox(1234.567800,1.000000,1.000000) ; }\n"
                     " { myAuxSolidCylinder(1.000000,4.000000) ; }\n"
                     " { myAuxSolidCone(1.000000,2.000000) ; }\n"));
}

// scene() never pops the matrix it pushed itself, nor returns deeper.
TEST(Source, UnbalancedBrackets) {
    Translation t = translate("-opengl", "Pop Sphere 1");
    EXPECT_EQ(t.output, source(" { auxSolidSphere(1.000000) ; }\n"));
    EXPECT_EQ(t.run.out, "Pop\nSphere 1.000000\n");
    t = translate("-opengl", "Push Sphere 1");
    EXPECT_EQ(t.output, source(" { glPushMatrix() ;\n   pushMaterial() ;\n   pushLumieres() ; }\n"
                               "  { auxSolidSphere(1.000000) ; }\n"
                               " { glPopMatrix() ;\n   popMaterial() ;\n   popLumieres() ; }\n"));
    EXPECT_EQ(t.run.out, "Push\nSphere 1.000000\n");
}

// nan and inf do not compile; a float read beyond its range is inf too.
TEST(Source, NumbersThatAreNotFiniteAreWrittenAsZero) {
    Translation t = translate("-opengl", "Zoom 1e39 nan 2 Cube inf 1e39 -nan");
    EXPECT_EQ(t.output, source(" { glScalef(0.000000F,0.000000F,2.000000F) ; }\n"
                               " { auxSolidBox(0.000000,"
                               "999999999999999939709166371603178586112.000000,0.000000) ; }\n"));
    EXPECT_EQ(t.run.out,
              "Zoom inf nan 2.000000\n"
              "Cube inf 999999999999999939709166371603178586112.000000 -nan\n");
}

TEST(Translators, MissingSceneLeavesOutputUntouched) {
    for (const char* mode : {"-vrml", "-opengl"}) {
        const std::string dir = scratchDirectory();
        writeFile(dir + "/out", "precious");
        RunResult r = runProgram({MIROVAN_BINARY, mode, dir + "/none.scn", dir + "/out"});
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), dir + "/none.scn n'existe pas!!!\n");
        EXPECT_EQ(readFile(dir + "/out"), "precious");
        // A directory is no scene either.
        r = runProgram({MIROVAN_BINARY, mode, dir, dir + "/out"});
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(readFile(dir + "/out"), "precious");
    }
}

TEST(Translators, UnwritableOutputIsAFailure) {
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.scn", "Sphere 1\n");
    for (const char* mode : {"-vrml", "-opengl"}) {
        RunResult r = runProgram({MIROVAN_BINARY, mode, dir + "/s.scn", dir + "/missing/out"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(dir + "/missing/out ne peut pas etre cree!!!\n"), std::string::npos);
        r = runProgram({MIROVAN_BINARY, mode, dir + "/s.scn", "/dev/full"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("/dev/full ne peut pas etre ecrit!!!\n"), std::string::npos);
    }
}
