#include <GL/gl.h>

#include "GestionOpenGL.h"
#include "scene/scene.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "support/support_state.h"
#include "viewer/viewer.h"

namespace {

inline float single(double value) { return static_cast<float>(value); }

void applyMaterial(const double* v) {
    // The file gives diffuse, ambient, specular, emissive, shininess.
    const float diffuse[4] = {single(v[0]), single(v[1]), single(v[2]), 1.0f};
    const float ambient[4] = {single(v[3]), single(v[4]), single(v[5]), 1.0f};
    const float specular[4] = {single(v[6]), single(v[7]), single(v[8]), 1.0f};
    const float emissive[4] = {single(v[9]), single(v[10]), single(v[11]), 1.0f};
    affecteMaterial(ambient, diffuse, emissive, specular, single(v[12]));
}

void act(const SceneStatement& s) {
    const double* v = s.values;
    switch (s.kind) {
        case StatementKind::Cube: auxSolidBox(v[0], v[1], v[2]); break;
        case StatementKind::Sphere: auxSolidSphere(v[0]); break;
        case StatementKind::Cylindre: myAuxSolidCylinder(v[0], v[1]); break;
        case StatementKind::Cone: myAuxSolidCone(v[0], v[1]); break;
        case StatementKind::Translation:
            glTranslatef(single(v[0]), single(v[1]), single(v[2]));
            break;
        case StatementKind::Rotation:
            glRotatef(single(v[0]), single(v[1]), single(v[2]), single(v[3]));
            break;
        case StatementKind::Zoom: glScalef(single(v[0]), single(v[1]), single(v[2])); break;
        case StatementKind::Push:
            pushMaterial();
            pushLumieres();
            glPushMatrix();
            break;
        case StatementKind::Pop:
            glPopMatrix();
            popLumieres();
            popMaterial();
            break;
        case StatementKind::Material: applyMaterial(v); break;
        case StatementKind::Pointlight:
            affectePointLight(single(v[4]), single(v[5]), single(v[6]), single(v[0]), single(v[1]),
                              single(v[2]), single(v[3]));
            break;
        case StatementKind::Dirlight:
            affecteDirLight(single(v[4]), single(v[5]), single(v[6]), single(v[0]), single(v[1]),
                            single(v[2]), single(v[3]));
            break;
        case StatementKind::Spotlight:
            affecteSpotLight(single(v[7]), single(v[8]), single(v[9]), single(v[0]), single(v[1]),
                             single(v[2]), single(v[3]), single(v[4]), single(v[5]), single(v[6]),
                             single(v[10]));
            break;
        case StatementKind::Unrecognised: break;
    }
}

// The support module's notices (a full stack, a ninth light) join the echo,
// so they stand after the statement that caused them.
void putNotice(const char* text) { textPut(console(), text); }

}  // namespace

void drawSceneFile(const char* path) {
    TextOut& echo = console();
    setSupportMessageSink(putNotice);
    const SceneOpen opened = openScene(path);
    if (opened != SceneOpen::Opened) {
        reportUnopenedScene(opened, path);
        return;
    }
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        if (statement.kind != StatementKind::Unrecognised) {
            textPutEcho(echo, statement);
            act(statement);
        }
        textPutChar(echo, '\n');
    }
    if (sceneReadFailed()) reportUnopenedScene(SceneOpen::Unreadable, path);
    closeScene();
}
