// The binary glTF file: a 12-byte header, the JSON chunk, then the BIN
// chunk with the shared meshes' vertices and indices. The JSON is compact:
// no spaces, the shortest numbers that read back as the same floats, and
// nothing that equals glTF's default.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#ifdef __linux__
#include <sys/stat.h>
#endif

#include "gltf_json.h"
#include "gltf_model.h"
#include "gltf_number.h"

namespace {

constexpr std::uint32_t kGlbMagic = 0x46546C67, kBinChunk = 0x004E4942;  // "glTF", "BIN\0"

// Where each stored shape's data lies in the BIN chunk.
struct ShapeData {
    std::size_t positions, normals, indices;  // byte offsets
    std::size_t vertices, indexCount;
    bool shortIndices;
    float min[3], max[3];
};

struct Layout {
    std::vector<ShapeData> shapes;  // one per geometry, in order
    std::size_t binBytes = 0;
};

std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

Layout layOut(const GltfModel& model) {
    Layout layout;
    for (const GltfGeometry& geometry : model.geometries) {
        const SolidMesh& mesh = geometry.mesh;
        ShapeData s{0, 0, 0, mesh.positions.size() / 3, mesh.triangles.size(), false, {}, {}};
        s.shortIndices = s.vertices <= 65535;
        s.positions = layout.binBytes;
        s.normals = s.positions + s.vertices * 12;
        s.indices = s.normals + s.vertices * 12;
        layout.binBytes = align4(s.indices + s.indexCount * (s.shortIndices ? 2 : 4));
        for (int k = 0; k < 3; ++k) {
            s.min[k] = std::numeric_limits<float>::infinity();
            s.max[k] = -s.min[k];
        }
        for (std::size_t v = 0; v < s.vertices; ++v)
            for (int k = 0; k < 3; ++k) {
                s.min[k] = std::min(s.min[k], mesh.positions[3 * v + k]);
                s.max[k] = std::max(s.max[k], mesh.positions[3 * v + k]);
            }
        layout.shapes.push_back(s);
    }
    return layout;
}

// A literal's characters, without its terminating zero.
template <std::size_t N>
char* put(char* at, const char (&text)[N]) {
    std::memcpy(at, text, N - 1);
    return at + N - 1;
}

char* putFloats(char* at, const float* values, int count) {
    *at++ = '[';
    for (int i = 0; i < count; ++i) {
        if (i) *at++ = ',';
        at = printShortFloat(at, values[i]);
    }
    *at++ = ']';
    return at;
}

// The same numbers as last time are the same text.
char* putRecent(char* at, const float* values, int count, RecentFloats& recent) {
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(float);
    if (recent.length > 0 && std::memcmp(recent.values, values, bytes) == 0) {
        std::memcpy(at, recent.text, static_cast<std::size_t>(recent.length));
        return at + recent.length;
    }
    char* end = putFloats(at, values, count);  // at most 4 x 15 + 5 characters
    recent.length = static_cast<int>(end - at);
    std::memcpy(recent.text, at, static_cast<std::size_t>(recent.length));
    std::memcpy(recent.values, values, bytes);
    return end;
}

// The commonest object in a big file: written in place, in one piece after
// the children's list.
void writeNode(GltfModel& model, const GltfNode& node, std::size_t firstChild) {
    JsonText& out = model.nodes;
    bool first = firstChild >= childCount(model.children);
    char* at = jsonRoom(out, 512);  // far more than the longest node
    if (model.nodeCount > 0) *at++ = ',';
    *at++ = '{';
    if (!first) {
        jsonCommit(out, put(at, "\"children\":"));
        jsonTakeChildren(out, model.children, firstChild);
        at = jsonRoom(out, 512);
    }
    auto comma = [&] {  // no branch: nodes of every kind come mixed
        *at = ',';
        at += !first;
        first = false;
    };
    if (node.mesh >= 0) {
        comma(), at = put(at, "\"mesh\":");
        at = std::to_chars(at, at + 12, node.mesh).ptr;
    }
    if (node.camera) comma(), at = put(at, "\"camera\":0");
    if (node.light >= 0) {
        comma(), at = put(at, "\"extensions\":{\"KHR_lights_punctual\":{\"light\":");
        at = std::to_chars(at, at + 12, node.light).ptr;
        at = put(at, "}}");
    }
    if (node.translation[0] != 0 || node.translation[1] != 0 || node.translation[2] != 0)
        comma(), at = putRecent(put(at, "\"translation\":"), node.translation, 3,
                                model.recentTranslation);
    if (node.rotation[0] != 0 || node.rotation[1] != 0 || node.rotation[2] != 0 ||
        node.rotation[3] != 1)
        comma(), at = putRecent(put(at, "\"rotation\":"), node.rotation, 4, model.recentRotation);
    if (node.scale[0] != 1 || node.scale[1] != 1 || node.scale[2] != 1)
        comma(), at = putFloats(put(at, "\"scale\":"), node.scale, 3);
    *at++ = '}';
    jsonCommit(out, at);
}

void writeLight(JsonText& out, const GltfLight& light) {
    static const char* const kTypes[] = {"point", "directional", "spot"};
    jsonText(out, "{\"type\":\""), jsonText(out, kTypes[light.type]), jsonChar(out, '"');
    if (light.colour[0] != 1 || light.colour[1] != 1 || light.colour[2] != 1)
        jsonText(out, ",\"color\":"), jsonFloats(out, light.colour, 3);
    if (light.intensity != 1) jsonText(out, ",\"intensity\":"), jsonFloat(out, light.intensity);
    if (light.type == GltfLight::Spot) {
        jsonText(out, ",\"spot\":{\"innerConeAngle\":"), jsonFloat(out, light.innerCone);
        jsonText(out, ",\"outerConeAngle\":"), jsonFloat(out, light.outerCone);
        jsonChar(out, '}');
    }
    jsonChar(out, '}');
}

}  // namespace

void gltfWriteMaterial(JsonText& out, const GltfMaterial& m) {
    // A big scene has tens of thousands: written in place like the nodes.
    const float base[4] = {m.baseColour[0], m.baseColour[1], m.baseColour[2], 1};
    char* at = jsonRoom(out, 512);
    at = putFloats(put(at, "{\"pbrMetallicRoughness\":{\"baseColorFactor\":"), base, 4);
    at = put(at, ",\"metallicFactor\":0");
    if (m.roughness != 1) at = printShortFloat(put(at, ",\"roughnessFactor\":"), m.roughness);
    *at++ = '}';
    if (m.emissive[0] != 0 || m.emissive[1] != 0 || m.emissive[2] != 0)
        at = putFloats(put(at, ",\"emissiveFactor\":"), m.emissive, 3);
    jsonCommit(out, put(at, ",\"doubleSided\":true}"));
}

namespace {

// Accessors and buffer views: three of each per stored shape, in the same
// order, so accessor k reads buffer view k.
void writeShapes(JsonText& out, const Layout& layout) {
    jsonText(out, ",\"accessors\":[");
    for (std::size_t i = 0; i < layout.shapes.size(); ++i) {
        const ShapeData& s = layout.shapes[i];
        const auto view = static_cast<long long>(3 * i);
        if (i) jsonChar(out, ',');
        jsonText(out, "{\"bufferView\":"), jsonInt(out, view);
        jsonText(out, ",\"componentType\":5126,\"count\":"), jsonInt(out, s.vertices);
        jsonText(out, ",\"type\":\"VEC3\",\"min\":"), jsonFloats(out, s.min, 3, true);
        jsonText(out, ",\"max\":"), jsonFloats(out, s.max, 3, true);
        jsonText(out, "},{\"bufferView\":"), jsonInt(out, view + 1);
        jsonText(out, ",\"componentType\":5126,\"count\":"), jsonInt(out, s.vertices);
        jsonText(out, ",\"type\":\"VEC3\"},{\"bufferView\":"), jsonInt(out, view + 2);
        jsonText(out, s.shortIndices ? ",\"componentType\":5123" : ",\"componentType\":5125");
        jsonText(out, ",\"count\":"), jsonInt(out, s.indexCount);
        jsonText(out, ",\"type\":\"SCALAR\"}");
    }
    jsonText(out, "],\"bufferViews\":[");
    for (std::size_t i = 0; i < layout.shapes.size(); ++i) {
        const ShapeData& s = layout.shapes[i];
        if (i) jsonChar(out, ',');
        for (int part = 0; part < 3; ++part) {
            const std::size_t offset = part == 0 ? s.positions : part == 1 ? s.normals : s.indices;
            const std::size_t length =
                part < 2 ? s.vertices * 12 : s.indexCount * (s.shortIndices ? 2 : 4);
            if (part) jsonChar(out, ',');
            jsonText(out, "{\"buffer\":0"), jsonText(out, ",\"byteOffset\":");
            jsonInt(out, static_cast<long long>(offset));
            jsonText(out, ",\"byteLength\":"), jsonInt(out, static_cast<long long>(length));
            jsonText(out, part < 2 ? ",\"target\":34962}" : ",\"target\":34963}");
        }
    }
    jsonText(out, "],\"buffers\":[{\"byteLength\":");
    jsonInt(out, static_cast<long long>(layout.binBytes));
    jsonText(out, "}]");
}

// The nodes come first in the JSON, so that a big file's nodes can go
// straight into it (gltfStreamNodes); the rest follows them.
constexpr char kNodesOpen[] = "{\"nodes\":[";
constexpr std::size_t kHeaderBytes = 20;  // the file's header and the JSON chunk's

void writeHead(JsonText& out, const GltfModel& model) {
    jsonText(out, "],\"asset\":{\"version\":\"2.0\",\"generator\":\"Mirovan\"}");
    if (model.lightCount) {
        jsonText(out, ",\"extensionsUsed\":[\"KHR_lights_punctual\"],\"extensions\":{");
        jsonText(out, "\"KHR_lights_punctual\":{\"lights\":[");
    }
}

void writeMiddle(JsonText& out, GltfModel& model) {
    if (model.lightCount) jsonText(out, "]}}");
    jsonText(out, ",\"scene\":0,\"scenes\":[{\"nodes\":");
    jsonTakeChildren(out, model.children, 0);  // the roots, millions in a big flat scene
    jsonText(out, "}]");
}

// Around the meshes' and the materials' objects.
void writeCamera(JsonText& out, const GltfModel& model) {
    // The window's box: 40 units across, 20 in front of the origin to 20 behind.
    jsonText(out, ",\"cameras\":[{\"type\":\"orthographic\",\"orthographic\":");
    jsonText(out, "{\"xmag\":20,\"ymag\":20,\"znear\":0,\"zfar\":40}}]");
    if (model.meshCount) jsonText(out, ",\"meshes\":[");
}

void writeTail(JsonText& out, const GltfModel& model) {
    if (model.meshCount) jsonText(out, "]");
    if (model.materialCount) jsonText(out, ",\"materials\":[");
}

void writeEnd(JsonText& out, const GltfModel& model, const Layout& layout) {
    if (model.materialCount) jsonChar(out, ']');
    if (!layout.shapes.empty()) writeShapes(out, layout);
    jsonChar(out, '}');
}

bool putWords(std::FILE* file, std::uint32_t a, std::uint32_t b) {
    const unsigned char bytes[8] = {
        static_cast<unsigned char>(a),       static_cast<unsigned char>(a >> 8),
        static_cast<unsigned char>(a >> 16), static_cast<unsigned char>(a >> 24),
        static_cast<unsigned char>(b),       static_cast<unsigned char>(b >> 8),
        static_cast<unsigned char>(b >> 16), static_cast<unsigned char>(b >> 24)};
    return std::fwrite(bytes, 1, 8, file) == 8;
}

// Little-endian floats and indices of one stored shape.
bool writeShape(std::FILE* file, const SolidMesh& mesh, const ShapeData& s) {
    std::vector<unsigned char> bytes;
    bytes.reserve(s.vertices * 24 + s.indexCount * 4 + 4);
    auto put32 = [&](std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<unsigned char>(v >> (8 * k)));
    };
    auto putFloat = [&](float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        put32(v);
    };
    for (float f : mesh.positions) putFloat(f);
    for (float f : mesh.normals) putFloat(f);
    for (std::uint32_t i : mesh.triangles) {
        if (s.shortIndices) {
            bytes.push_back(static_cast<unsigned char>(i));
            bytes.push_back(static_cast<unsigned char>(i >> 8));
        } else {
            put32(i);
        }
    }
    while (bytes.size() % 4) bytes.push_back(0);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

std::int32_t gltfWriteNode(GltfModel& model, const GltfNode& node, std::size_t firstChild) {
    writeNode(model, node, firstChild);
    return model.nodeCount++;
}

std::int32_t gltfWriteLight(GltfModel& model, const GltfLight& light) {
    if (model.lightCount) jsonChar(model.lights, ',');
    writeLight(model.lights, light);
    return model.lightCount++;
}

void gltfStreamNodes(GltfModel& model, std::FILE* output) {
#ifdef __linux__
    // Only a regular file can go back to its start for the header.
    struct stat about;
    if (fstat(fileno(output), &about) != 0 || !S_ISREG(about.st_mode) || std::ftell(output) != 0)
        return;
    const char room[kHeaderBytes] = {};  // filled in at the end
    model.streamedNodes = true;
    model.nodes.spillFailed = std::fwrite(room, 1, kHeaderBytes, output) != kHeaderBytes ||
                              std::fputs(kNodesOpen, output) < 0;
    jsonStreamInto(model.nodes, output);
#else
    (void)model, (void)output;
#endif
}

bool writeGltfFile(std::FILE* file, GltfModel& model) {
    const Layout layout = layOut(model);
    JsonText open, head, middle, camera, tail, end;
    middle.spillAllowed = true;  // the roots: one per top-level solid
    middle.keep = 1 << 20;
    jsonText(open, kNodesOpen);
    writeHead(head, model);
    writeMiddle(middle, model);
    writeCamera(camera, model);
    writeTail(tail, model);
    writeEnd(end, model, layout);
    JsonText* const parts[] = {&open,   &model.nodes,      &head, &model.lights,        &middle,
                               &camera, &model.meshesText, &tail, &model.materialsText, &end};
    if (model.children.spillFailed) return false;
    std::size_t text = 0;
    for (const JsonText* part : parts) text += part->bytes;
    const std::size_t jsonBytes = align4(text);
    for (std::size_t n = text; n < jsonBytes; ++n) jsonChar(end, ' ');  // JSON pads with spaces
    const std::size_t binBytes = layout.binBytes;
    const std::size_t total = kHeaderBytes + jsonBytes + (binBytes ? 8 + binBytes : 0);
    if (total > 0xFFFFFFFFu) return false;  // beyond what a binary glTF file can hold

    // Header (magic, version 2, length), the JSON chunk, the BIN chunk;
    // where the nodes went ahead, the header last, over the room left for it.
    const unsigned char jsonType[4] = {'J', 'S', 'O', 'N'};
    auto putHeader = [&] {
        return putWords(file, kGlbMagic, 2) &&
               putWords(file, static_cast<std::uint32_t>(total),
                        static_cast<std::uint32_t>(jsonBytes)) &&
               std::fwrite(jsonType, 1, 4, file) == 4;
    };
    bool ok = model.streamedNodes || putHeader();
    for (JsonText* part : parts)
        ok = ok && (part == &open && model.streamedNodes ? true : jsonWrite(file, *part));
    if (binBytes) {
        ok = ok && putWords(file, static_cast<std::uint32_t>(binBytes), kBinChunk);
        for (std::size_t g = 0; g < layout.shapes.size(); ++g)
            ok = ok && writeShape(file, model.geometries[g].mesh, layout.shapes[g]);
    }
    if (model.streamedNodes)
        ok = ok && std::fseek(file, 0, SEEK_SET) == 0 && putHeader() &&
             std::fseek(file, 0, SEEK_END) == 0;
    return ok;
}
