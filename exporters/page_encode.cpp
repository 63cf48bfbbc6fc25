// The scene's tables as the page reads them: little-endian binary, every
// section 4-byte aligned so the page can view it as typed arrays, sent as
// base64 (the only binary that fits in an HTML file untouched).
//
//   u32 magic "MIRP", u32 version 2
//   u32 counts: meshes, scales, linears, translations, materials, light
//       sets, solids
//   per mesh: u32 vertices, u32 triangles, u32 clipped triangles, u32
//       1 if the normals follow the inverse of the solid's scale, f32
//       positions[3v], f32 normals[3v], u32 indices[3t], u32 clipped[3c]
//   f32 scales[3 each], linears[9 each], translations[3 each],
//       materials[13 each]
//   per light set: u32 lights, f32 [22 each]
//   per column (mesh, scale, linear, translation, material, lights): u32
//       width in bytes (1, 2 or 4), the solids' indices, zero padding to 4
#include <cstring>
#include <string>

#include "page_tables.h"

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct Base64Out {
    std::FILE* file = nullptr;
    unsigned char carry[3] = {0, 0, 0};
    int carried = 0;
    std::string text;
    bool ok = true;

    void flush() {
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size())
            ok = false;
        text.clear();
    }
    void quad() {
        const unsigned v = (carry[0] << 16) | (carry[1] << 8) | carry[2];
        const char out[4] = {kDigits[v >> 18], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63],
                             kDigits[v & 63]};
        text.append(out, 4);
    }
    void put(const void* data, std::size_t bytes) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < bytes; ++i) {
            carry[carried++] = p[i];
            if (carried == 3) {
                quad();
                carried = 0;
            }
        }
        if (text.size() >= 1 << 16) flush();
    }
    void finish() {
        if (carried > 0) {
            const int kept = carried;
            while (carried < 3) carry[carried++] = 0;
            quad();
            for (int i = kept + 1; i < 4; ++i) text[text.size() - 4 + i] = '=';
            carried = 0;
        }
        flush();
    }
};

// Typed arrays are little-endian on every machine that runs a browser; the
// bytes are copied out in that order whatever this machine's order is.
void putWords(Base64Out& out, const void* words, std::size_t count) {
    const auto* p = static_cast<const unsigned char*>(words);
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        const unsigned char le[4] = {
            static_cast<unsigned char>(w), static_cast<unsigned char>(w >> 8),
            static_cast<unsigned char>(w >> 16), static_cast<unsigned char>(w >> 24)};
        out.put(le, 4);
    }
}

void putWord(Base64Out& out, std::uint32_t word) { putWords(out, &word, 1); }

template <typename T>
void putVector(Base64Out& out, const std::vector<T>& values) {
    static_assert(sizeof(T) == 4);
    putWords(out, values.data(), values.size());
}

// Indices as narrow as the table allows: most scenes need one byte each.
void putColumn(Base64Out& out, const std::vector<std::uint32_t>& column, std::uint32_t entries) {
    const std::uint32_t width = entries <= 0x100 ? 1 : entries <= 0x10000 ? 2 : 4;
    putWord(out, width);
    // In pieces: a whole column's bytes at once would add to the peak just
    // when every table is at its largest.
    unsigned char bytes[1 << 12];
    std::size_t used = 0;
    for (const std::uint32_t index : column) {
        for (std::uint32_t b = 0; b < width; ++b)
            bytes[used++] = static_cast<unsigned char>(index >> (8 * b));
        if (used > sizeof bytes - 4) {
            out.put(bytes, used);
            used = 0;
        }
    }
    const std::size_t padding = (4 - (column.size() * width) % 4) % 4;
    for (std::size_t i = 0; i < padding; ++i) bytes[used++] = 0;
    out.put(bytes, used);
}

}  // namespace

bool writePageData(const PageTables& t, std::FILE* output) {
    Base64Out out;
    out.file = output;
    out.put("MIRP", 4);
    putWord(out, 2);
    const std::uint32_t counts[kPageColumns + 1] = {
        static_cast<std::uint32_t>(t.meshes.size()),
        t.scales.size(),
        t.linears.size(),
        t.translations.size(),
        t.materials.size(),
        static_cast<std::uint32_t>(t.lightSets.size()),
        static_cast<std::uint32_t>(t.columns[MeshColumn].size()),
    };
    putWords(out, counts, kPageColumns + 1);
    for (const PageMesh& mesh : t.meshes) {
        putWord(out, static_cast<std::uint32_t>(mesh.positions.size() / 3));
        putWord(out, static_cast<std::uint32_t>(mesh.triangles.size() / 3));
        putWord(out, static_cast<std::uint32_t>(mesh.clippedTriangles.size() / 3));
        putWord(out, mesh.normalsFollowScale ? 1 : 0);
        putVector(out, mesh.positions);
        putVector(out, mesh.normals);
        putVector(out, mesh.triangles);
        putVector(out, mesh.clippedTriangles);
    }
    putVector(out, t.scales.values);
    putVector(out, t.linears.values);
    putVector(out, t.translations.values);
    putVector(out, t.materials.values);
    for (const std::vector<float>& set : t.lightSets) {
        putWord(out, static_cast<std::uint32_t>(set.size() / kLightFloats));
        putVector(out, set);
    }
    for (int c = 0; c < kPageColumns; ++c) putColumn(out, t.columns[c], counts[c]);
    out.finish();
    return out.ok;
}
