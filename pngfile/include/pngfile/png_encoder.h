// 8-bit RGB PNG files without a compression library: the image data goes
// in stored (uncompressed) deflate blocks, so any PNG reader takes it and
// the encoder needs nothing beyond the C++ library, on every platform.
#pragma once

#include <cstddef>
#include <vector>

// The whole file for rows of width * 3 bytes, top row first; empty if the
// size is not positive.
std::vector<unsigned char> encodeRgbPng(const unsigned char* rgb, int width, int height);

// The checksums the format uses, exposed for tests.
unsigned long crc32Of(const unsigned char* bytes, std::size_t length, unsigned long crc = 0);
unsigned long adler32Of(const unsigned char* bytes, std::size_t length);
