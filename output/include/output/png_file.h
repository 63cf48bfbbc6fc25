// 8-bit RGB PNG files: F12's pictures and the offscreen ones alike, from one
// encoder on both platforms.
#pragma once

#include <vector>

// The whole file for rows of width * 3 bytes, top row first; empty if the
// size is not positive or the encoder failed.
std::vector<unsigned char> encodeRgbPng(const unsigned char* rgb, int width, int height);
