#include "driver/screen_mode.h"

#include "scene/textout.h"

int runScreenMode(const char* sceneFileName) {
    (void)sceneFileName;
    textPut(console(), "Le mode ecran n'est pas encore disponible!!!\n");
    return 1;
}
