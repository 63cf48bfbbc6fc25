#include "evaluation/evaluation.h"

// Placeholder until the evaluation lands.
namespace {
struct EvaluationState {
    EvalSolid solid{};
    EvalAddedLight light{};
    EvalMaterial material{};
    EvalLights lights{};
    float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
EvaluationState evaluation;
}  // namespace

void startEvaluation() { evaluation = EvaluationState{}; }
EvalStep evaluateStatement(const SceneStatement&) { return EvalStep::None; }
const EvalSolid& lastSolid() { return evaluation.solid; }
const EvalAddedLight& lastLight() { return evaluation.light; }
const float* currentModelview() { return evaluation.modelview; }
int openGroups() { return 0; }
std::uint32_t materialVersion() { return 0; }
std::uint32_t lightsVersion() { return 0; }
const EvalMaterial& currentMaterial() { return evaluation.material; }
const EvalLights& currentLights() { return evaluation.lights; }
bool sceneAddedLights() { return false; }
