// scene_plain -vrml|-opengl scene output: the plain translation, echoing on
// standard output, for the benchmark to time as it times mirovan.
#include <cstdio>
#include <cstring>

#include "scene_baseline/plain_translator.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: scene_plain -vrml|-opengl scene output\n");
        return 2;
    }
    const PlainMode mode =
        std::strcmp(argv[1], "-opengl") == 0 ? PlainMode::Source : PlainMode::Vrml;
    return plainTranslate(mode, argv[2], argv[3], stdout) ? 0 : 1;
}
