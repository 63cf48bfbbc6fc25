// The scene host: shows the scene of a source written by `mirovan -opengl`
// in screen mode's window, under screen mode's view, keys and spin.
#pragma once

// Defined by the generated source.
void scene();
void myInit();
