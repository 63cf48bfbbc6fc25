// Force-included in tests written for Linux: <windows.h> (which GL/gl.h
// pulls in on Windows) defines near and far as macros; take them back.
#pragma once
#include <windows.h>
#undef near
#undef far
