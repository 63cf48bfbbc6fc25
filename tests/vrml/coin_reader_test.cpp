// Every bundled example's VRML, and that of scenes with unpaired brackets and
// numbers that are not finite, read back by an independent VRML 1.0 reader
// (Coin): no read error, and the nodes and field values are the scene's.
#include <gtest/gtest.h>

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoDirectionalLight.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPointLight.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoSpotLight.h>
#include <Inventor/nodes/SoTranslation.h>

#include <cmath>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "common/run.h"

namespace {

// One node as a flat record: its type name and its numbers in our order.
struct Node {
    std::string type;
    std::vector<double> numbers;
};

int readErrors = 0;
void countReadError(const SoError*, void*) { ++readErrors; }

void push(std::vector<double>& out, const SbVec3f& v) {
    for (int i = 0; i < 3; ++i) out.push_back(v[i]);
}
void push(std::vector<double>& out, const SbColor& c) {
    for (int i = 0; i < 3; ++i) out.push_back(c[i]);
}

// Depth first, separators as "{" and "}" around their children.
void flatten(SoNode* node, std::vector<Node>& out) {
    Node n{node->getTypeId().getName().getString(), {}};
    if (node->isOfType(SoSeparator::getClassTypeId())) {
        out.push_back({"{", {}});
        auto* group = static_cast<SoSeparator*>(node);
        for (int i = 0; i < group->getNumChildren(); ++i) flatten(group->getChild(i), out);
        out.push_back({"}", {}});
        return;
    }
    if (auto* c = dynamic_cast<SoCube*>(node))
        n.numbers = {c->width.getValue(), c->height.getValue(), c->depth.getValue()};
    if (auto* s = dynamic_cast<SoSphere*>(node)) n.numbers = {s->radius.getValue()};
    if (auto* c = dynamic_cast<SoCylinder*>(node))
        n.numbers = {c->radius.getValue(), c->height.getValue()};
    if (auto* c = dynamic_cast<SoCone*>(node))
        n.numbers = {c->bottomRadius.getValue(), c->height.getValue()};
    if (auto* t = dynamic_cast<SoTranslation*>(node)) push(n.numbers, t->translation.getValue());
    if (auto* s = dynamic_cast<SoScale*>(node)) push(n.numbers, s->scaleFactor.getValue());
    if (auto* r = dynamic_cast<SoRotation*>(node)) {
        SbVec3f axis;
        float angle;
        r->rotation.getValue().getValue(axis, angle);
        n.numbers = {angle};
        push(n.numbers, axis);
    }
    if (auto* m = dynamic_cast<SoMaterial*>(node)) {
        push(n.numbers, m->diffuseColor[0]);
        push(n.numbers, m->ambientColor[0]);
        push(n.numbers, m->specularColor[0]);
        push(n.numbers, m->emissiveColor[0]);
        n.numbers.push_back(m->shininess[0]);
    }
    if (auto* l = dynamic_cast<SoPointLight*>(node)) {
        push(n.numbers, l->location.getValue());
        n.numbers.push_back(l->intensity.getValue());
        push(n.numbers, l->color.getValue());
    }
    if (auto* l = dynamic_cast<SoDirectionalLight*>(node)) {
        push(n.numbers, l->direction.getValue());
        n.numbers.push_back(l->intensity.getValue());
        push(n.numbers, l->color.getValue());
    }
    if (auto* l = dynamic_cast<SoSpotLight*>(node)) {
        push(n.numbers, l->location.getValue());
        push(n.numbers, l->direction.getValue());
        n.numbers.push_back(l->intensity.getValue());
        push(n.numbers, l->color.getValue());
        n.numbers.push_back(l->cutOffAngle.getValue());
    }
    out.push_back(n);
}

// What the scene says the VRML holds, in the same flat form.
std::vector<Node> expectedNodes(const std::string& scenePath) {
    static const char* const kTypes[] = {
        "",      "Cube", "Sphere", "Cylinder", "Cone",       "Translation",      "Rotation",
        "Scale", "{",    "}",      "Material", "PointLight", "DirectionalLight", "SpotLight"};
    std::vector<Node> nodes{{"{", {}}};
    EXPECT_EQ(openScene(scenePath.c_str()), SceneOpen::Opened);
    SceneStatement s;
    const double degrees = static_cast<float>(3.14159) / 180.0;
    int open = 0;  // a Pop with nothing open is dropped, an open Push closed at the end
    while (nextStatement(s, NumberPrecision::Double)) {
        if (s.kind == StatementKind::Unrecognised) continue;
        if (s.kind == StatementKind::Pop && open == 0) continue;
        open += s.kind == StatementKind::Push ? 1 : s.kind == StatementKind::Pop ? -1 : 0;
        Node n{kTypes[static_cast<int>(s.kind)], std::vector<double>(s.values, s.values + s.count)};
        if (s.kind == StatementKind::Rotation) {
            // Coin gives the axis normalised; a negative angle comes back as
            // the positive angle about the opposite axis.
            double norm = std::sqrt(n.numbers[1] * n.numbers[1] + n.numbers[2] * n.numbers[2] +
                                    n.numbers[3] * n.numbers[3]);
            double angle = n.numbers[0] * degrees;
            if (angle < 0) angle = -angle, norm = -norm;
            n.numbers = {angle, n.numbers[1] / norm, n.numbers[2] / norm, n.numbers[3] / norm};
        }
        if (s.kind == StatementKind::Spotlight) n.numbers[10] *= degrees;
        nodes.push_back(n);
    }
    closeScene();
    for (; open > 0; --open) nodes.push_back({"}", {}});
    nodes.push_back({"}", {}});
    return nodes;
}

// A file whose only top-level node is one Separator reads back as that
// Separator alone; drop an outer group that holds nothing but one group.
void dropWrappingGroups(std::vector<Node>& nodes) {
    while (nodes.size() >= 4 && nodes[0].type == "{" && nodes[1].type == "{") {
        int depth = 0;
        std::size_t close = 1;
        for (; close < nodes.size(); ++close) {
            depth += nodes[close].type == "{" ? 1 : nodes[close].type == "}" ? -1 : 0;
            if (depth == 0) break;
        }
        if (close != nodes.size() - 2) return;
        nodes.erase(nodes.end() - 1);
        nodes.erase(nodes.begin());
    }
}

// Scenes whose VRML a reader would once have refused: brackets that do not
// pair, numbers that are not finite.
const struct {
    const char* name;
    const char* text;
} kAwkwardScenes[] = {
    {"extra_pops", "Pop Pop Sphere 1 Push Cube 1 2 3 Pop Pop Pop Cone 1 2"},
    {"missing_pops", "Push Translation 1 0 0 Push Sphere 1 Push Push Cube 1 1 1 Pop"},
    {"not_finite",
     "Translation nan inf -inf Cube 1 inf nan Rotation inf 0 0 1 Zoom 1 nan 1 "
     "Material nan nan nan inf inf inf 0 0 0 0 0 0 nan Pointlight nan 0 0 inf 1 1 1 "
     "Spotlight 0 5 0 0 -1 0 inf 1 1 1 nan Cylindre -inf 2"},
};

class CoinReads : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        SoDB::init();
        SoReadError::setHandlerCallback(countReadError, nullptr);
    }
};

}  // namespace

TEST_P(CoinReads, EveryStatementReadsBack) {
    const std::string name = GetParam();
    const std::string dir = scratchDirectory();
    const std::string wrl = dir + "/" + name + ".wrl";
    std::string scene = std::string(MIROVAN_SOURCE_DIR) + "/examples/" + name + ".scn";
    for (const auto& awkward : kAwkwardScenes)
        if (name == awkward.name) writeFile(scene = dir + "/" + name + ".scn", awkward.text);
    ASSERT_EQ(runProgram({MIROVAN_BINARY, "-vrml", scene, wrl}).status, 0);

    readErrors = 0;
    SoInput input;
    ASSERT_TRUE(input.openFile(wrl.c_str()));
    SoSeparator* root = SoDB::readAll(&input);
    ASSERT_NE(root, nullptr);
    root->ref();
    EXPECT_EQ(readErrors, 0);

    std::vector<Node> read;
    flatten(root, read);
    root->unref();
    std::vector<Node> expected = expectedNodes(scene);
    dropWrappingGroups(read);
    dropWrappingGroups(expected);
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].type, expected[i].type) << "node " << i;
        ASSERT_EQ(read[i].numbers.size(), expected[i].numbers.size())
            << read[i].type << " node " << i;
        for (std::size_t k = 0; k < read[i].numbers.size(); ++k)
            EXPECT_NEAR(read[i].numbers[k], expected[i].numbers[k], 2e-6)
                << read[i].type << " node " << i << " number " << k;
    }
}

TEST_F(CoinReads, AStrayCloseIsAReadErrorThatCounts) {
    // The check above relies on errors being counted even when readAll succeeds.
    const std::string dir = scratchDirectory();
    writeFile(dir + "/s.wrl", "#VRML V1.0 ascii\nSphere {\n radius 1.000000 }\n}\n}\n");
    readErrors = 0;
    SoInput input;
    ASSERT_TRUE(input.openFile((dir + "/s.wrl").c_str()));
    SoSeparator* root = SoDB::readAll(&input);
    if (root) root->ref(), root->unref();
    EXPECT_GT(readErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(Bundled, CoinReads, ::testing::Values("robot", "still_life", "lights"));
INSTANTIATE_TEST_SUITE_P(Awkward, CoinReads,
                         ::testing::Values("extra_pops", "missing_pops", "not_finite"));
