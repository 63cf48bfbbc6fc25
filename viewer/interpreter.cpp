#include "viewer/interpreter.h"

#include <GL/gl.h>

#include "GestionOpenGL.h"
#include "scene/scene.h"
#include "scene/console.h"
#include "scene/echo.h"
#include "scene/reports.h"
#include "support/modelview_stack.h"
#include "support/support_state.h"

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

// The scene is read on every frame, but its faults are told once for each
// version of it.
struct ReportState {
    bool told = false;
    std::uint64_t version = 0;
};

ReportState reported;

void reportOnce(const char* name, std::uint64_t version) {
    if (reported.told && reported.version == version) return;
    reported = {true, version};
    writeAllSceneReports(name);
}

// What one reading of the scene keeps between its statements.
struct Reading {
    long long openPushes;  // a Pop without one is ignored
};

void act(const SceneStatement& s, Reading& reading) {
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
            ++reading.openPushes;
            pushMaterial();
            pushLumieres();
            pushModelview();
            break;
        case StatementKind::Pop:
            // Without an open Push it would pop the frame's own matrix and
            // lose the view.
            if (reading.openPushes == 0) break;
            --reading.openPushes;
            popModelview();
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

// Reads the scene opened by the caller, then closes it.
// `version` names the content, or is null for a file, whose content is
// fingerprinted as it is read.
void drawOpenedScene(const char* name, const std::uint64_t* version) {
    TextOut& echo = console();
    Reading reading{0};
    SceneStatement statement;
    while (nextStatement(statement, NumberPrecision::Mixed)) {
        if (statement.kind != StatementKind::Unrecognised) {
            textPutEcho(echo, statement);
            act(statement, reading);
        }
        textPutChar(echo, '\n');
    }
    if (sceneReadFailed()) reportUnopenedScene(SceneOpen::Unreadable, name);
    reportOnce(name, version ? *version : sceneFingerprint());
    closeScene();
}

}  // namespace

void drawSceneFile(const char* path) {
    setSupportMessageSink(putNotice);
    fingerprintScenes(true);  // the file's versions are told apart by their content
    const SceneOpen opened = openScene(path);
    if (opened != SceneOpen::Opened)
        reportUnopenedScene(opened, path);
    else
        drawOpenedScene(path, nullptr);
    fingerprintScenes(false);
}

void drawSceneText(const char* name, const char* text, std::size_t size) {
    setSupportMessageSink(putNotice);
    openSceneMemory(text, size);
    // A copy read once stays what it is: one version for the whole run.
    const std::uint64_t version = reinterpret_cast<std::uintptr_t>(text) ^ size;
    drawOpenedScene(name, &version);
}
