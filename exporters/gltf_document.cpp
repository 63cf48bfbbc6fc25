// The binary glTF file: a 12-byte header, the JSON chunk, then the BIN
// chunk with the shared meshes' vertices and indices. The JSON is compact:
// no spaces, the shortest numbers that read back as the same floats, and
// nothing that equals glTF's default.
#include <algorithm>
#include <cstring>
#include <limits>

#include "gltf_json.h"
#include "gltf_model.h"

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

void writeNode(JsonText& out, const GltfNode& node, const std::vector<std::int32_t>& children) {
    const char* comma = "";
    jsonChar(out, '{');
    if (!children.empty()) {
        jsonText(out, "\"children\":"), jsonInts(out, children.data(), children.size());
        comma = ",";
    }
    if (node.mesh >= 0) {
        jsonText(out, comma), jsonText(out, "\"mesh\":"), jsonInt(out, node.mesh);
        comma = ",";
    }
    if (node.camera) jsonText(out, comma), jsonText(out, "\"camera\":0"), comma = ",";
    if (node.light >= 0) {
        jsonText(out, comma), jsonText(out, "\"extensions\":{\"KHR_lights_punctual\":{\"light\":");
        jsonInt(out, node.light), jsonText(out, "}}");
        comma = ",";
    }
    if (node.translation[0] != 0 || node.translation[1] != 0 || node.translation[2] != 0) {
        jsonText(out, comma), jsonText(out, "\"translation\":");
        jsonFloats(out, node.translation, 3);
        comma = ",";
    }
    if (node.rotation[0] != 0 || node.rotation[1] != 0 || node.rotation[2] != 0 ||
        node.rotation[3] != 1) {
        jsonText(out, comma), jsonText(out, "\"rotation\":"), jsonFloats(out, node.rotation, 4);
        comma = ",";
    }
    if (node.scale[0] != 1 || node.scale[1] != 1 || node.scale[2] != 1)
        jsonText(out, comma), jsonText(out, "\"scale\":"), jsonFloats(out, node.scale, 3);
    jsonChar(out, '}');
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
    const float base[4] = {m.baseColour[0], m.baseColour[1], m.baseColour[2], 1};
    jsonText(out, "{\"pbrMetallicRoughness\":{\"baseColorFactor\":"), jsonFloats(out, base, 4);
    jsonText(out, ",\"metallicFactor\":0");
    if (m.roughness != 1) jsonText(out, ",\"roughnessFactor\":"), jsonFloat(out, m.roughness);
    jsonChar(out, '}');
    if (m.emissive[0] != 0 || m.emissive[1] != 0 || m.emissive[2] != 0)
        jsonText(out, ",\"emissiveFactor\":"), jsonFloats(out, m.emissive, 3);
    jsonText(out, ",\"doubleSided\":true}");
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

// The JSON around the nodes' objects: what comes before them, and after.
void writeHead(JsonText& out, const GltfModel& model) {
    jsonText(out, "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Mirovan\"}");
    if (model.lightCount) {
        jsonText(out, ",\"extensionsUsed\":[\"KHR_lights_punctual\"],\"extensions\":{");
        jsonText(out, "\"KHR_lights_punctual\":{\"lights\":[");
    }
}

void writeMiddle(JsonText& out, const GltfModel& model) {
    if (model.lightCount) jsonText(out, "]}}");
    const std::vector<std::int32_t>& roots = model.groups.front().children;
    jsonText(out, ",\"scene\":0,\"scenes\":[{\"nodes\":");
    jsonInts(out, roots.data(), roots.size());
    jsonText(out, "}],\"nodes\":[");
}

// Around the meshes' and the materials' objects.
void writeCamera(JsonText& out, const GltfModel& model) {
    // The window's box: 40 units across, 20 in front of the origin to 20 behind.
    jsonText(out, "],\"cameras\":[{\"type\":\"orthographic\",\"orthographic\":");
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

std::int32_t gltfWriteNode(GltfModel& model, const GltfNode& node,
                           const std::vector<std::int32_t>& children) {
    if (model.nodeCount) jsonChar(model.nodes, ',');
    writeNode(model.nodes, node, children);
    return model.nodeCount++;
}

std::int32_t gltfWriteLight(GltfModel& model, const GltfLight& light) {
    if (model.lightCount) jsonChar(model.lights, ',');
    writeLight(model.lights, light);
    return model.lightCount++;
}

bool writeGltfFile(std::FILE* file, GltfModel& model) {
    const Layout layout = layOut(model);
    JsonText head, middle, camera, tail, end;
    writeHead(head, model);
    writeMiddle(middle, model);
    writeCamera(camera, model);
    writeTail(tail, model);
    writeEnd(end, model, layout);
    JsonText* const parts[] = {&head,   &model.lights,     &middle, &model.nodes,
                               &camera, &model.meshesText, &tail,   &model.materialsText,
                               &end};
    std::size_t text = 0;
    for (const JsonText* part : parts) text += part->bytes;
    const std::size_t jsonBytes = align4(text);
    for (std::size_t n = text; n < jsonBytes; ++n) jsonChar(end, ' ');  // JSON pads with spaces
    const std::size_t binBytes = layout.binBytes;
    const std::size_t total = 12 + 8 + jsonBytes + (binBytes ? 8 + binBytes : 0);
    if (total > 0xFFFFFFFFu) return false;  // beyond what a binary glTF file can hold

    // Header (magic, version 2, length), the JSON chunk, the BIN chunk.
    bool ok = putWords(file, kGlbMagic, 2);
    ok = ok &&
         putWords(file, static_cast<std::uint32_t>(total), static_cast<std::uint32_t>(jsonBytes));
    const unsigned char jsonType[4] = {'J', 'S', 'O', 'N'};
    ok = ok && std::fwrite(jsonType, 1, 4, file) == 4;
    for (JsonText* part : parts) ok = ok && jsonWrite(file, *part);
    if (binBytes) {
        ok = ok && putWords(file, static_cast<std::uint32_t>(binBytes), kBinChunk);
        for (std::size_t g = 0; g < layout.shapes.size(); ++g)
            ok = ok && writeShape(file, model.geometries[g].mesh, layout.shapes[g]);
    }
    return ok;
}
