// Offscreen OpenGL for tests and snapshots: a legacy-capable context on an
// offscreen surface with the window's format (8-bit red, green and blue, no
// alpha, 16-bit depth). No window system needed.
#ifndef MIROVAN_HEADLESS_H
#define MIROVAN_HEADLESS_H

#include <cstdio>
#include <vector>

// Opens the context and makes it current on this thread; an open one is
// closed first. On failure headlessError() says why.
bool openHeadlessContext(int width, int height);
void closeHeadlessContext();
const char* headlessError();

// The surface's colour buffer as RGB bytes, top row first.
bool readPixelsRGB(std::vector<unsigned char>& rgb, int& width, int& height);

// 8-bit RGB PNG from rows of width * 3 bytes, top row first.
bool writePng(const char* path, const unsigned char* rgb, int width, int height);
// The surface's picture as that PNG, into a file or an open stream.
bool savePicture(const char* path);
bool savePictureTo(std::FILE* file);

#endif
