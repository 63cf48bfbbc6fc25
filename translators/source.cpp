#include "translators/emit.h"
#include "translators/translation.h"
#include "translators/translators.h"

namespace {

void writeSource(TextOut& out, IndentPrefix& prefix, const SceneStatement& s) {
    const double* v = s.values;
    switch (s.kind) {
        case StatementKind::Cube:
            emit(out, prefix, "${ auxSolidBox(#,#,#) ; }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Sphere:
            emit(out, prefix, "${ auxSolidSphere(#) ; }\n", {v[0]});
            break;
        case StatementKind::Cylindre:
            emit(out, prefix, "${ myAuxSolidCylinder(#,#) ; }\n", {v[0], v[1]});
            break;
        case StatementKind::Cone:
            emit(out, prefix, "${ myAuxSolidCone(#,#) ; }\n", {v[0], v[1]});
            break;
        case StatementKind::Translation:
            emit(out, prefix, "${ glTranslatef(#F,#F,#F) ; }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Rotation:
            emit(out, prefix, "${ glRotatef(#F,#F,#F,#F) ; }\n", {v[0], v[1], v[2], v[3]});
            break;
        case StatementKind::Zoom:
            emit(out, prefix, "${ glScalef(#F,#F,#F) ; }\n", {v[0], v[1], v[2]});
            break;
        case StatementKind::Push:
            emit(out, prefix, "${ glPushMatrix() ;\n$  pushMaterial() ;\n$  pushLumieres() ; }\n");
            pushIndent(prefix);
            break;
        case StatementKind::Pop:
            popIndent(prefix);
            emit(out, prefix, "${ glPopMatrix() ;\n$  popMaterial() ;\n$  popLumieres() ; }\n");
            break;
        case StatementKind::Material:
            emit(out, prefix,
                 "${ float ref = # ;\n"
                 "$  float ma[4] = {#F,#F,#F,1.0F} ;\n"
                 "$  float md[4] = {#F,#F,#F,1.0F} ;\n"
                 "$  float ms[4] = {#F,#F,#F,1.0F} ;\n"
                 "$  float me[4] = {#F,#F,#F,1.0F} ;\n"
                 "$  affecteMaterial(ma,md,me,ms,ref) ; }\n",
                 {v[12], v[3], v[4], v[5], v[0], v[1], v[2], v[6], v[7], v[8], v[9], v[10], v[11]});
            break;
        case StatementKind::Pointlight:
            emit(out, prefix,
                 "${ float x = #F,y = #F,z = #F ;\n$  float i = #F ;\n"
                 "$  float r = #F,v = #F,b = #F ;\n$  affectePointLight(r,v,b,x,y,z,i) ; }\n",
                 {v[0], v[1], v[2], v[3], v[4], v[5], v[6]});
            break;
        case StatementKind::Dirlight:
            emit(out, prefix,
                 "${ float dx = #F,dy = #F,dz = #F ;\n$  float i = #F ;\n"
                 "$  float r = #F,v = #F,b = #F ;\n$  affecteDirLight(r,v,b,dx,dy,dz,i) ; }\n",
                 {v[0], v[1], v[2], v[3], v[4], v[5], v[6]});
            break;
        case StatementKind::Spotlight:
            emit(out, prefix,
                 "${ float x = #F,y = #F,z = #F ;\n$  float dx = #F,dy = #F,dz = #F ;\n"
                 "$  float i = #F,o = #F ;\n$  float r = #F,v = #F,b = #F ;\n"
                 "$  affecteSpotLight(r,v,b,x,y,z,dx,dy,dz,i,o) ; }\n",
                 {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[10], v[7], v[8], v[9]});
            break;
        case StatementKind::Unrecognised:
            break;
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
