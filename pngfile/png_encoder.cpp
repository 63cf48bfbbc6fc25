#include "pngfile/png_encoder.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::size_t kStoredBlockMax = 65535;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = makeCrcTable();

void putBigEndian(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((value >> shift) & 0xFF);
}

// Length, type, data, and the CRC of type and data.
void putChunk(std::vector<unsigned char>& out, const char type[5],
              const std::vector<unsigned char>& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32Of(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of stored blocks: each row is a filter byte (0, none) and
// its pixels.
std::vector<unsigned char> zlibStored(const unsigned char* rgb, int width, int height) {
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<unsigned char> raw;
    raw.reserve((row + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * row, rgb + (y + 1) * row);
    }
    std::vector<unsigned char> z = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    z.reserve(raw.size() + raw.size() / kStoredBlockMax * 5 + 16);
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kStoredBlockMax, raw.size() - at);
        const bool last = at + length == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(length & 0xFF);
        z.push_back(length >> 8);
        z.push_back(~length & 0xFF);
        z.push_back((~length >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    putBigEndian(z, adler32Of(raw.data(), raw.size()));
    return z;
}

}  // namespace

unsigned long crc32Of(const unsigned char* bytes, std::size_t length, unsigned long crc) {
    std::uint32_t c = static_cast<std::uint32_t>(crc) ^ 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i) c = kCrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

unsigned long adler32Of(const unsigned char* bytes, std::size_t length) {
    constexpr std::uint32_t kModulus = 65521;
    std::uint32_t a = 1, b = 0;
    while (length > 0) {
        // 5552 bytes is the most that cannot overflow b before the reduction.
        const std::size_t run = std::min<std::size_t>(length, 5552);
        for (std::size_t i = 0; i < run; ++i) {
            a += bytes[i];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        bytes += run;
        length -= run;
    }
    return (b << 16) | a;
}

std::vector<unsigned char> encodeRgbPng(const unsigned char* rgb, int width, int height) {
    if (!rgb || width <= 0 || height <= 0) return {};
    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    // 8 bits per sample, colour type 2 (RGB), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", zlibStored(rgb, width, height));
    putChunk(file, "IEND", {});
    return file;
}
