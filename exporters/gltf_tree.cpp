// The node tree of a glTF file, following the scene's Push / Pop groups.
//
// Every group is a node, and so is every solid and every light, under the
// group it stands in. A group's node carries the group's frame (the matrix
// at its Push) relative to its parent's, when that relative transform is a
// plain translation, rotation and scale; otherwise (a shear, a zero scale)
// the group's node stays at its parent's frame and its contents carry the
// whole transform. A solid's node holds the rest of its matrix with the
// solid's size as scale; a sheared one takes a child node for the last
// rotation (see gltf_affine.h). Groups deeper than kGltfMaxGroupDepth add
// no node: their contents join the deepest group that has one, each still
// at its own place.
#include <cmath>

#include "gltf_affine.h"
#include "gltf_model.h"

namespace {

const double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void widen(const float* m, double* out) {
    for (int i = 0; i < 16; ++i) out[i] = m[i];
}

GltfNode plainNode(std::int32_t parent) {
    return GltfNode{parent, -1, -1, false, {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}};
}

// The node's values as floats; false if one does not fit.
bool setTrs(GltfNode& node, const double* t, const double* r, const double* s) {
    bool finite = true;
    for (int i = 0; i < 3; ++i) {
        node.translation[i] = static_cast<float>(t[i]);
        node.scale[i] = static_cast<float>(s[i]);
        finite = finite && std::isfinite(node.translation[i]) && std::isfinite(node.scale[i]);
    }
    for (int i = 0; i < 4; ++i) node.rotation[i] = static_cast<float>(r[i]);
    return finite;
}

std::int32_t addNode(GltfModel& model, const GltfNode& node) {
    model.nodes.push_back(node);
    return static_cast<std::int32_t>(model.nodes.size() - 1);
}

std::int32_t solidMaterial(GltfModel& model) {
    if (model.material < 0 || model.materialVersion != materialVersion()) {
        model.materialVersion = materialVersion();
        model.material = gltfMaterialIndex(model, gltfMaterialOf(currentMaterial()));
    }
    return model.material;
}

}  // namespace

void startGltfTree(GltfModel& model) {
    model = GltfModel{};
    // The window's view: an orthographic camera looking along -z.
    GltfNode camera = plainNode(-1);
    camera.camera = true;
    camera.translation[2] = 20;
    addNode(model, camera);
    GltfGroup root{-1, {}};
    for (int i = 0; i < 16; ++i) root.frame[i] = kIdentity[i];
    model.groups.push_back(root);
}

void gltfOpenGroup(GltfModel& model, const float* modelview) {
    if (model.flattenedGroups > 0 || static_cast<int>(model.groups.size()) > kGltfMaxGroupDepth) {
        ++model.flattenedGroups;
        return;
    }
    const GltfGroup& parent = model.groups.back();
    GltfGroup group{-1, {}};
    for (int i = 0; i < 16; ++i) group.frame[i] = parent.frame[i];
    GltfNode node = plainNode(parent.node);

    double frame[16], inverse[16], relative[16];
    widen(modelview, frame);
    invertAffine(parent.frame, inverse);  // a group's frame always has an inverse
    multiplyAffine(inverse, frame, relative);
    if (finiteAffine(relative)) {
        const TrsSplit split = splitAffine(relative);
        bool usable = !split.inner;
        for (int i = 0; i < 3; ++i) usable = usable && std::fabs(split.scale[i]) > 1e-6;
        GltfNode moved = node;
        if (usable && setTrs(moved, split.translation, split.rotation, split.scale)) {
            double own[16];
            composeTrs(split.translation, split.rotation, split.scale, own);
            multiplyAffine(parent.frame, own, group.frame);
            double check[16];
            if (invertAffine(group.frame, check)) {
                node = moved;
            } else {
                for (int i = 0; i < 16; ++i) group.frame[i] = parent.frame[i];
            }
        }
    }
    group.node = addNode(model, node);
    model.groups.push_back(group);
}

void gltfCloseGroup(GltfModel& model) {
    if (model.flattenedGroups > 0) {
        --model.flattenedGroups;
    } else if (model.groups.size() > 1) {
        model.groups.pop_back();
    }
}

void gltfAddSolid(GltfModel& model, const EvalSolid& solid) {
    double scale[3];
    const std::int32_t geometry = gltfGeometryFor(model, solid.kind, solid.size, scale);
    if (geometry < 0) return;
    const GltfGroup& group = model.groups.back();

    double full[16], inverse[16], local[16];
    widen(solid.modelview, full);
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 4; ++k) full[4 * c + k] *= scale[c];
    invertAffine(group.frame, inverse);
    multiplyAffine(inverse, full, local);
    if (!finiteAffine(local)) return;  // beyond float: the window draws nothing usable either

    const TrsSplit split = splitAffine(local);
    GltfNode node = plainNode(group.node);
    if (!setTrs(node, split.translation, split.rotation, split.scale)) return;
    const std::int32_t mesh = gltfMeshFor(model, geometry, solidMaterial(model));
    if (!split.inner) {
        node.mesh = mesh;
        addNode(model, node);
        return;
    }
    GltfNode turned = plainNode(addNode(model, node));
    for (int i = 0; i < 4; ++i) turned.rotation[i] = static_cast<float>(split.innerRotation[i]);
    turned.mesh = mesh;
    addNode(model, turned);
}

void gltfAddLight(GltfModel& model, const EvalAddedLight& light, const EvalLight& unit) {
    double m[16];
    widen(light.modelview, m);
    const bool directional = light.kind == StatementKind::Dirlight;
    // Where the light stands and where it shines, in the scene's frame.
    const double local[3] = {directional ? 0 : light.position[0],
                             directional ? 0 : light.position[1],
                             directional ? 0 : light.position[2]};
    const double along[3] = {directional ? -light.position[0] : light.direction[0],
                             directional ? -light.position[1] : light.direction[1],
                             directional ? -light.position[2] : light.direction[2]};
    double place[3], shine[3];
    for (int r = 0; r < 3; ++r) {
        place[r] = m[12 + r] + m[r] * local[0] + m[4 + r] * local[1] + m[8 + r] * local[2];
        shine[r] = m[r] * along[0] + m[4 + r] * along[1] + m[8 + r] * along[2];
    }
    // The same in the frame of the group's node.
    double inverse[16], t[3], d[3];
    invertAffine(model.groups.back().frame, inverse);
    for (int r = 0; r < 3; ++r) {
        t[r] = inverse[12 + r] + inverse[r] * place[0] + inverse[4 + r] * place[1] +
               inverse[8 + r] * place[2];
        d[r] = inverse[r] * shine[0] + inverse[4 + r] * shine[1] + inverse[8 + r] * shine[2];
    }
    double rotation[4];
    rotationFromMinusZ(d, rotation);
    const double one[3] = {1, 1, 1};
    GltfNode node = plainNode(model.groups.back().node);
    if (!setTrs(node, t, rotation, one)) return;
    const double distance =
        std::sqrt(place[0] * place[0] + place[1] * place[1] + place[2] * place[2]);
    model.lights.push_back(gltfLightOf(light, unit, distance));
    node.light = static_cast<std::int32_t>(model.lights.size() - 1);
    addNode(model, node);
}

void finishGltfTree(GltfModel& model, bool sceneAddedLights) {
    if (sceneAddedLights) return;
    // The window's own light: white, along -z of the eye, fixed to the view.
    model.lights.push_back(gltfDefaultLight());
    GltfNode light = plainNode(0);
    light.light = static_cast<std::int32_t>(model.lights.size() - 1);
    addNode(model, light);
}
