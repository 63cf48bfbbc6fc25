#include "commandline.h"

#include <cstring>
#include <string>

#include "screen_mode.h"
#include "scene/console.h"
#include "exporters/exporters.h"
#include "output/scene_run.h"
#include "translators/translators.h"

namespace {

struct DriverState {
    std::string sceneFileName;  // kept for screen mode, which reads it every frame
};

DriverState driver;

void printUsage() {
    TextOut& out = console();
    textPut(out, "Usage\n");
    textPut(out, "Mirovan -ecran fichier.scn\n");
    textPut(out, "Mirovan -vrml fichier.scn fichier.wrl\n");
    textPut(out, "Mirovan -opengl fichier.scn fichier.cpp\n");
    textPut(out, "Mirovan -html fichier.scn fichier.html\n");
    textPut(out, "Mirovan -gltf fichier.scn fichier.glb\n");
}

int missingArguments() {
    textPut(console(), "Il manque des arguments!!!\n");
    printUsage();
    return 1;
}

int translate(bool (*translator)(const char*, const char*), const char* banner, int argc,
              char** argv) {
    if (argc < 4) return missingArguments();
    textPrintf(console(), "%s %s %s\n", banner, argv[2], argv[3]);
    if (translator(argv[2], argv[3])) return 0;
    sayOutputFailure(lastSceneRun());  // why, said here rather than deep in the writing
    return 1;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    if (argc <= 1) return missingArguments();
    if (std::strcmp(argv[1], "--version") == 0) {
        textPrintf(console(), "mirovan %s\n", MIROVAN_VERSION);
        return 0;
    }
    if (argc > 2) driver.sceneFileName = argv[2];

    const char* mode = argv[1];
    if (std::strcmp(mode, "-opengl") == 0) return translate(SourceTranslator, "OpenGL", argc, argv);
    if (std::strcmp(mode, "-vrml") == 0) return translate(VrmlTranslator, "VRML", argc, argv);
    if (std::strcmp(mode, "-html") == 0) return translate(PageExporter, "HTML", argc, argv);
    if (std::strcmp(mode, "-gltf") == 0) return translate(GltfExporter, "glTF", argc, argv);
    if (std::strcmp(mode, "-ecran") == 0) {
        if (argc < 3) return missingArguments();
        textPut(console(), "Ecran\n");
        return runScreenMode(driver.sceneFileName.c_str());
    }
    printUsage();
    return 1;
}
