#include "emit.h"
#include "translation.h"
#include "translators/translators.h"

namespace {

void writeSource(TextOut& out, IndentPrefix& prefix, const SceneStatement& s) {
    const FixedText* v = s.texts;
    switch (s.kind) {
        case StatementKind::Cube:
            emit<"${ auxSolidBox(#,#,#) ; }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Sphere: emit<"${ auxSolidSphere(#) ; }\n">(out, prefix, v[0]); break;
        case StatementKind::Cylindre:
            emit<"${ myAuxSolidCylinder(#,#) ; }\n">(out, prefix, v[0], v[1]);
            break;
        case StatementKind::Cone:
            emit<"${ myAuxSolidCone(#,#) ; }\n">(out, prefix, v[0], v[1]);
            break;
        case StatementKind::Translation:
            emit<"${ glTranslatef(#F,#F,#F) ; }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Rotation:
            emit<"${ glRotatef(#F,#F,#F,#F) ; }\n">(out, prefix, v[0], v[1], v[2], v[3]);
            break;
        case StatementKind::Zoom:
            emit<"${ glScalef(#F,#F,#F) ; }\n">(out, prefix, v[0], v[1], v[2]);
            break;
        case StatementKind::Push:
            emit<"${ glPushMatrix() ;\n$  pushMaterial() ;\n$  pushLumieres() ; }\n">(out, prefix);
            pushIndent(prefix);
            break;
        case StatementKind::Pop:
            popIndent(prefix);
            emit<"${ glPopMatrix() ;\n$  popMaterial() ;\n$  popLumieres() ; }\n">(out, prefix);
            break;
        case StatementKind::Material:
            emit<
                "${ float ref = # ;\n"
                "$  float ma[4] = {#F,#F,#F,1.0F} ;\n"
                "$  float md[4] = {#F,#F,#F,1.0F} ;\n"
                "$  float ms[4] = {#F,#F,#F,1.0F} ;\n"
                "$  float me[4] = {#F,#F,#F,1.0F} ;\n"
                "$  affecteMaterial(ma,md,me,ms,ref) ; }\n">(out, prefix, v[12], v[3], v[4], v[5],
                                                             v[0], v[1], v[2], v[6], v[7], v[8],
                                                             v[9], v[10], v[11]);
            break;
        case StatementKind::Pointlight:
            emit<
                "${ float x = #F,y = #F,z = #F ;\n$  float i = #F ;\n"
                "$  float r = #F,v = #F,b = #F ;\n$  affectePointLight(r,v,b,x,y,z,i) ; }\n">(
                out, prefix, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
            break;
        case StatementKind::Dirlight:
            emit<
                "${ float dx = #F,dy = #F,dz = #F ;\n$  float i = #F ;\n"
                "$  float r = #F,v = #F,b = #F ;\n$  affecteDirLight(r,v,b,dx,dy,dz,i) ; }\n">(
                out, prefix, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
            break;
        case StatementKind::Spotlight:
            emit<
                "${ float x = #F,y = #F,z = #F ;\n$  float dx = #F,dy = #F,dz = #F ;\n"
                "$  float i = #F,o = #F ;\n$  float r = #F,v = #F,b = #F ;\n"
                "$  affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }\n">(
                out, prefix, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[10], v[7], v[8], v[9]);
            break;
        case StatementKind::Unrecognised: break;
    }
}

const TranslationMode kSource = {
    NumberPrecision::Mixed,
    1,
    "#include <windows.h>\n\n#include <GL/gl.h>\n#include <GL/glu.h>\n#include <GL/glaux.h>\n\n"
    "#include \"GestionOpenGL.h\"\n\n"
    "void scene(void) {\n glPushMatrix() ;\n",
    " glPopMatrix() ;\n}\n\n"
    "void myInit (void) {\n  glShadeModel(GL_SMOOTH);\n  glEnable(GL_DEPTH_TEST) ;\n"
    "  glEnable(GL_LIGHTING) ;\n  glEnable(GL_LIGHT0) ;\n}\n",
    writeSource,
};

}  // namespace

bool SourceTranslator(const char* sceneFile, const char* outputFile) {
    return runTranslation(kSource, sceneFile, outputFile);
}

bool SourceTranslateMemory(const void* scene, std::size_t size, std::FILE* output) {
    return runTranslationMemory(kSource, scene, size, output);
}
