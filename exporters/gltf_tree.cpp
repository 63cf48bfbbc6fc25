// The node tree of a glTF file, following the scene's Push / Pop groups.
//
// Every group is a node, and so is every solid and every light, under the
// group it stands in. A group's node carries the group's frame (the matrix
// at its Push) relative to its parent's, when that relative transform is a
// plain translation, rotation and scale; otherwise (a shear, a zero scale)
// the group's node stays at its parent's frame and its contents carry the
// whole transform. A solid's node holds the rest of its matrix with the
// solid's size as scale; a sheared one takes a child node for the last
// rotation and the size (see gltf_affine.h), and sheared solids in a row
// under one matrix hang on one node. Groups deeper than kGltfMaxGroupDepth add
// no node: their contents join the deepest group that has one, each still
// at its own place.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "gltf_affine.h"
#include "gltf_model.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void widen(const float* m, double* out) {
    for (int i = 0; i < 16; ++i) out[i] = m[i];
}

// The node's values as floats; false if one does not fit.
bool setTrs(GltfNode& node, const double* t, const double* r, const double* s) {
    bool finite = true;
    for (int i = 0; i < 3; ++i) {
        node.translation[i] = static_cast<float>(t[i]);
        node.scale[i] = static_cast<float>(s[i]);
        finite &= std::isfinite(node.translation[i]) & std::isfinite(node.scale[i]);
    }
    for (int i = 0; i < 4; ++i) node.rotation[i] = static_cast<float>(r[i]);
    return finite;
}

// A node without children.
std::int32_t writeLeaf(GltfModel& model, const GltfNode& node) {
    return gltfWriteNode(model, node, childCount(model.children));
}

// A node joins the open group, with the children on the stack from
// `firstChild` up (none by default).
void addToGroup(GltfModel& model, const GltfNode& node, std::size_t firstChild = SIZE_MAX) {
    const std::int32_t index =
        gltfWriteNode(model, node, std::min(firstChild, childCount(model.children)));
    if (model.shearedRow.open)
        model.shearedRow.lights.push_back(index);  // joins the group after the row's node
    else
        pushChild(model.children, index);
}

// The row of sheared solids under one matrix ends: its shared node joins
// the group, after the lights met since the row began.
void endShearedRow(GltfModel& model) {
    ShearedRow& row = model.shearedRow;
    if (!row.open) return;
    row.open = false;
    const std::int32_t index = gltfWriteNode(model, row.node, row.firstChild);
    for (std::int32_t light : row.lights) pushChild(model.children, light);
    row.lights.clear();
    pushChild(model.children, index);
}

// The split of a matrix in the frame of the group's node; the last one is
// kept, and a new matrix ends the row of sheared solids under the old one.
const SolidFrame& splitOnce(GltfModel& model, const double* local) {
    SolidFrame& frame = model.lastFrame;
    if (std::memcmp(frame.local, local, sizeof frame.local) == 0) return frame;
    endShearedRow(model);
    // After a Translation only the translation differs (the first three
    // columns are the same numbers): the rest of the split stays.
    const bool moved = frame.usable && std::memcmp(frame.local, local, 12 * sizeof(double)) == 0;
    std::memcpy(frame.local, local, sizeof frame.local);
    frame.usable = finiteAffine(local);  // beyond float the window draws nothing usable
    if (frame.usable && moved) {
        for (int i = 0; i < 3; ++i) frame.split.translation[i] = local[12 + i];
    } else if (frame.usable) {
        frame.split = splitAffine(local);
    }
    return frame;
}

// A Pop brings back a material met shortly before: the last few are
// compared as the window holds them before any mapping or lookup.
std::int32_t solidMaterial(GltfModel& model, std::uint32_t version, const EvalMaterial& current) {
    if (model.material >= 0 && model.materialVersion == version) return model.material;
    model.materialVersion = version;
    for (const RecentMaterial& recent : model.recentMaterials)
        if (recent.index >= 0 && std::memcmp(&recent.material, &current, sizeof current) == 0)
            return model.material = recent.index;
    model.material = gltfMaterialIndex(model, gltfMaterialOf(current));
    RecentMaterial& slot = model.recentMaterials[model.nextRecent++ % kRecentMaterials];
    slot.material = current, slot.index = model.material;
    return model.material;
}

// p' = m p (w = 1 for a point, 0 for a direction).
void transform(const double* m, const double* p, double w, double* out) {
    for (int r = 0; r < 3; ++r)
        out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + w * m[12 + r];
}

}  // namespace

void startGltfTree(GltfModel& model) {
    model = GltfModel{};
    for (JsonText* text : {&model.nodes, &model.lights, &model.meshesText, &model.materialsText})
        text->spillAllowed = true;
    GltfGroup top;
    for (int i = 0; i < 16; ++i) top.frame[i] = top.inverse[i] = kIdentity[i];
    model.groups.push_back(std::move(top));
}

void gltfOpenGroup(GltfModel& model, const float* modelview) {
    endShearedRow(model);
    if (model.flattenedGroups > 0 || static_cast<int>(model.groups.size()) > kGltfMaxGroupDepth) {
        ++model.flattenedGroups;
        return;
    }
    const GltfGroup& parent = model.groups.back();
    GltfGroup group;
    group.firstChild = childCount(model.children);
    for (int i = 0; i < 16; ++i)
        group.frame[i] = parent.frame[i], group.inverse[i] = parent.inverse[i];

    double frame[16], relative[16];
    widen(modelview, frame);
    multiplyAffine(parent.inverse, frame, relative);
    const SolidFrame& known = splitOnce(model, relative);
    if (known.usable) {
        const TrsSplit& split = known.split;
        bool usable = !split.inner;
        for (int i = 0; i < 3; ++i) usable = usable && std::fabs(split.scale[i]) > 1e-6;
        GltfNode moved;
        double own[16], placed[16], inverse[16];
        if (usable && setTrs(moved, split.translation, split.rotation, split.scale)) {
            composeTrs(split.translation, split.rotation, split.scale, own);
            multiplyAffine(parent.frame, own, placed);
            if (invertAffine(placed, inverse)) {
                group.node = moved;
                for (int i = 0; i < 16; ++i)
                    group.frame[i] = placed[i], group.inverse[i] = inverse[i];
            }
        }
    }
    model.groups.push_back(std::move(group));
    ++model.groupSerial;
}

void gltfCloseGroup(GltfModel& model) {
    endShearedRow(model);
    if (model.flattenedGroups > 0) {
        --model.flattenedGroups;
        return;
    }
    if (model.groups.size() <= 1) return;
    const GltfGroup group = std::move(model.groups.back());
    model.groups.pop_back();
    ++model.groupSerial;
    addToGroup(model, group.node, group.firstChild);
}

void gltfAddSolid(GltfModel& model, const EvalSolid& solid, const EvalMaterial& material) {
    double size[3];
    const std::int32_t shape = gltfShapeFor(solid.kind, solid.size, size);
    if (shape < 0) return;

    // The matrix splits once for the solids that share it (T R S, or
    // T R1 S R2 when it shears, the T R1 S node shared too); the solid's
    // size then scales last, on the node that holds the mesh.
    SolidFrame& frame = model.lastFrame;
    if (frame.group != model.groupSerial ||
        std::memcmp(frame.modelview, solid.modelview, sizeof frame.modelview) != 0) {
        double full[16], local[16];
        widen(solid.modelview, full);
        multiplyAffine(model.groups.back().inverse, full, local);
        splitOnce(model, local);
        std::memcpy(frame.modelview, solid.modelview, sizeof frame.modelview);
        frame.group = model.groupSerial;
    }
    if (!frame.usable) return;
    const TrsSplit& split = frame.split;
    GltfNode node;
    if (!split.inner) {
        const double scale[3] = {split.scale[0] * size[0], split.scale[1] * size[1],
                                 split.scale[2] * size[2]};
        if (!setTrs(node, split.translation, split.rotation, scale)) return;
        node.mesh = gltfMeshFor(model, shape, solidMaterial(model, solid.material, material));
        if (node.mesh >= 0) addToGroup(model, node);
        return;
    }
    ShearedRow& row = model.shearedRow;
    if (!row.open && !setTrs(row.node, split.translation, split.rotation, split.scale)) return;
    GltfNode turned;
    const double nowhere[3] = {0, 0, 0};
    if (!setTrs(turned, nowhere, split.innerRotation, size)) return;
    turned.mesh = gltfMeshFor(model, shape, solidMaterial(model, solid.material, material));
    if (turned.mesh < 0) return;
    const std::int32_t index = writeLeaf(model, turned);
    if (!row.open) row.open = true, row.firstChild = childCount(model.children);
    pushChild(model.children, index);
}

void gltfAddLight(GltfModel& model, const EvalAddedLight& light, const EvalLight& unit) {
    double m[16];
    widen(light.modelview, m);
    const bool directional = light.kind == StatementKind::Dirlight;
    // Where the light stands and where it shines, in the scene's frame, then
    // in the frame of the group's node.
    const double position[3] = {directional ? 0 : light.position[0],
                                directional ? 0 : light.position[1],
                                directional ? 0 : light.position[2]};
    const double along[3] = {directional ? -light.position[0] : light.direction[0],
                             directional ? -light.position[1] : light.direction[1],
                             directional ? -light.position[2] : light.direction[2]};
    double place[3], shine[3], t[3], d[3];
    transform(m, position, 1, place);
    transform(m, along, 0, shine);
    const double* inverse = model.groups.back().inverse;
    transform(inverse, place, 1, t);
    transform(inverse, shine, 0, d);
    double rotation[4];
    rotationFromMinusZ(d, rotation);
    const double one[3] = {1, 1, 1};
    GltfNode node;
    if (!setTrs(node, t, rotation, one)) return;
    const double distance =
        std::sqrt(place[0] * place[0] + place[1] * place[1] + place[2] * place[2]);
    node.light = gltfWriteLight(model, gltfLightOf(light, unit, distance));
    addToGroup(model, node);
}

void finishGltfTree(GltfModel& model, bool sceneAddedLights) {
    endShearedRow(model);
    model.flattenedGroups = 0;
    while (model.groups.size() > 1) gltfCloseGroup(model);
    // The window's view: an orthographic camera looking along -z, carrying
    // the window's own light (white, along -z of the eye) when the scene
    // sets none.
    GltfNode camera;
    camera.camera = true;
    camera.translation[2] = 20;
    const std::size_t children = childCount(model.children);
    if (!sceneAddedLights) {
        GltfNode light;
        light.light = gltfWriteLight(model, gltfDefaultLight());
        pushChild(model.children, writeLeaf(model, light));
    }
    addToGroup(model, camera, children);
}
