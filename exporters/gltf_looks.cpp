// How the window's materials and lights become glTF's.
//
// Colours. The window writes the result of its lighting equation to the
// screen as it is, with no gamma: a colour of 0.5 that reaches the screen
// whole shows as pixel value 128, which a display takes as sRGB. glTF's
// colours are linear and a viewer encodes its result to sRGB, so each
// colour is taken as sRGB and converted to linear: an emissive 0.5 then
// shows as 128 in a viewer too, and lit colours come out close to the
// window's instead of washed out.
//
// Materials: metallic 0; base colour from the diffuse colour; emissive from
// the emission; roughness = (2 / (shininess + 2))^(1/4), the usual match
// between a Blinn-Phong exponent n and a microfacet roughness r (alpha =
// r^2, n = 2 / alpha^2 - 2): shininess 0 gives 1, 128 gives 0.35. The
// ambient colour and the specular colour have no place in the
// metallic-roughness model.
//
// Lights: the window's light colour is the scene's colour times its
// intensity, g. glTF gets linear(g) split into a colour whose largest
// component is 1 and an intensity, that largest component times pi: glTF's
// intensities are photometric (lux, candela), and a white diffuse surface
// under E lux shows E / pi, where the window shows g. The window's
// point and spot lights do not fade with distance and glTF's fade with its
// square: their intensity (candela) is multiplied by the square of the
// light's distance from the scene's origin (at least 1), so that the light
// reaching the middle of the scene is the window's. A spot's cut-off is the
// outer cone angle (a cut-off of 180 is a point light); the inner angle is
// where the spot factor cos^exponent falls to 0.9, and with the window's
// exponent 0 (a hard edge) just inside the outer angle.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "gltf_model.h"

namespace {

double linear(double c) {
    if (!(c > 0)) return 0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

float linearColour(float c) { return static_cast<float>(linear(std::fmin(c, 1.0f))); }

}  // namespace

GltfMaterial gltfMaterialOf(const EvalMaterial& material) {
    GltfMaterial m{};
    for (int i = 0; i < 3; ++i) {
        m.baseColour[i] = linearColour(material.diffuse[i]);
        m.emissive[i] = linearColour(material.emission[i]);
    }
    const double shininess = std::fmax(0.0, material.shininess);
    m.roughness = static_cast<float>(std::pow(2 / (shininess + 2), 0.25));
    return m;
}

namespace {

std::size_t hashOf(const GltfMaterial& m) {
    std::uint32_t words[7];
    std::memcpy(words, &m, sizeof words);
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the values' bits
    for (std::uint32_t w : words) h = (h ^ w) * 1099511628211ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

void place(MaterialTable& table, std::int32_t index) {
    const std::size_t mask = table.slots.size() - 1;
    std::size_t at = hashOf(table.materials[static_cast<std::size_t>(index)]) & mask;
    while (table.slots[at] != 0) at = (at + 1) & mask;
    table.slots[at] = index + 1;
}

}  // namespace

std::int32_t gltfMaterialIndex(GltfModel& model, const GltfMaterial& material) {
    MaterialTable& table = model.materialTable;
    if (2 * (table.materials.size() + 1) > table.slots.size()) {
        table.slots.assign(std::max<std::size_t>(1024, 2 * table.slots.size()), 0);
        for (std::size_t i = 0; i < table.materials.size(); ++i)
            place(table, static_cast<std::int32_t>(i));
    }
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t at = hashOf(material) & mask;; at = (at + 1) & mask) {
        const std::int32_t slot = table.slots[at];
        if (slot != 0 && table.materials[static_cast<std::size_t>(slot - 1)] == material)
            return slot - 1;
        if (slot != 0) continue;
        table.materials.push_back(material);
        table.slots[at] = ++model.materialCount;
        if (model.materialCount > 1) jsonChar(model.materialsText, ',');
        gltfWriteMaterial(model.materialsText, material);
        return model.materialCount - 1;
    }
}

namespace {

// The window's light colour g (colour times intensity) as glTF's colour and
// intensity: the rule for every light, the window's own included.
GltfLight lightOfColour(GltfLight::Type type, const float* g) {
    GltfLight l{type, {0, 0, 0}, 0, 0, 0};
    double c[3], largest = 0;
    for (int i = 0; i < 3; ++i) {
        c[i] = linear(g[i]);
        largest = std::fmax(largest, c[i]);
    }
    if (largest > 0 && std::isfinite(largest)) {
        for (int i = 0; i < 3; ++i) l.colour[i] = static_cast<float>(c[i] / largest);
        l.intensity = static_cast<float>(largest * std::numbers::pi);
    }
    return l;
}

}  // namespace

GltfLight gltfLightOf(const EvalAddedLight& light, const EvalLight& unit, double distance) {
    float g[3];
    for (int i = 0; i < 3; ++i) g[i] = static_cast<float>(light.colour[i] * light.intensity);
    if (light.kind == StatementKind::Dirlight) return lightOfColour(GltfLight::Directional, g);
    GltfLight l = lightOfColour(GltfLight::Point, g);
    const double d = std::fmax(1.0, distance);
    l.intensity = static_cast<float>(l.intensity * d * d);
    if (light.kind == StatementKind::Spotlight && unit.spotCutoff < 90) {
        l.type = GltfLight::Spot;
        const double outer = std::fmax(1e-4, unit.spotCutoff * std::numbers::pi / 180);
        double inner = outer * 0.999;
        if (unit.spotExponent > 0)
            inner = std::fmin(inner, std::acos(std::pow(0.9, 1 / unit.spotExponent)));
        l.outerCone = static_cast<float>(outer);
        l.innerCone = static_cast<float>(inner);
        if (!(l.innerCone < l.outerCone)) l.innerCone = 0;
    }
    if (!std::isfinite(l.intensity) || l.intensity > 3e38f) l.intensity = 3e38f;
    return l;
}

// The window's own light: the GL's first light, white (diffuse 1 1 1).
GltfLight gltfDefaultLight() {
    const float white[3] = {1, 1, 1};
    return lightOfColour(GltfLight::Directional, white);
}
