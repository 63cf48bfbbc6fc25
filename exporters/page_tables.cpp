#include "page_tables.h"

#include <string>

namespace {

struct LastVersion {
    std::uint32_t version = 0;
    std::uint32_t entry = 0;
    bool seen = false;
};

struct TablesState {
    PageTables tables;
    // The evaluation's latest versions and the entries they gave: solids
    // follow one another under the same material and lights, and an
    // earlier version that comes back is found in the tables again.
    LastVersion material, lights;
    std::unordered_map<std::string, std::uint32_t> lightSetIndex;  // by the set's bytes
};

TablesState state;

void copy3(const float* from, std::vector<float>& to) { to.insert(to.end(), from, from + 3); }

std::uint32_t materialEntry() {
    const EvalMaterial& m = currentMaterial();
    std::vector<float> entry;
    copy3(m.ambient, entry);
    copy3(m.diffuse, entry);
    copy3(m.specular, entry);
    copy3(m.emission, entry);
    entry.push_back(m.shininess);
    return state.tables.materials.add(entry.data());
}

// Only what lights the colours: alpha never shows on the page's opaque
// canvas, as it never shows in the window.
void lightEntry(const EvalLight& light, std::vector<float>& entry) {
    entry.push_back(light.turnsWithView ? 1.0f : 0.0f);
    copy3(light.ambient, entry);
    copy3(light.diffuse, entry);
    copy3(light.specular, entry);
    entry.insert(entry.end(), light.position, light.position + 4);
    copy3(light.spotDirection, entry);
    entry.push_back(light.spotExponent);
    entry.push_back(light.spotCutoff);
    copy3(light.attenuation, entry);
}

std::uint32_t lightSetEntry() {
    std::vector<float> entry;
    for (const EvalLight& light : currentLights().units)
        if (light.enabled) lightEntry(light, entry);
    std::string bytes(reinterpret_cast<const char*>(entry.data()), entry.size() * sizeof(float));
    const auto [found, added] =
        state.lightSetIndex.try_emplace(std::move(bytes), state.tables.lightSets.size());
    if (added) state.tables.lightSets.push_back(std::move(entry));
    return found->second;
}

template <typename Make>
std::uint32_t byVersion(LastVersion& last, std::uint32_t version, Make make) {
    if (last.seen && last.version == version) return last.entry;
    last = {version, make(), true};
    return last.entry;
}

void addSolid(const EvalSolid& solid) {
    PageTables& t = state.tables;
    const MeshChoice mesh = shareMesh(solid.kind, solid.size, t.meshes);
    const float* m = solid.modelview;
    const float linear[9] = {m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]};
    const std::uint32_t row[kPageColumns] = {
        mesh.mesh,
        t.scales.add(mesh.scale),
        t.linears.add(linear),
        t.translations.add(m + 12),
        byVersion(state.material, solid.material, materialEntry),
        byVersion(state.lights, solid.lights, lightSetEntry),
    };
    for (int c = 0; c < kPageColumns; ++c) t.columns[c].push_back(row[c]);
}

}  // namespace

void startPageTables() {
    state = TablesState{};
    startMeshSharing();
    startEvaluation();
}

void takePageStatement(const SceneStatement& statement) {
    if (evaluateStatement(statement) == EvalStep::Solid) addSolid(lastSolid());
}

const PageTables& pageTables() { return state.tables; }
