// A frame that meets only sizes already cached allocates nothing: screen
// mode draws every frame through these operations.
#include "GestionOpenGL.h"
#include "alloc_counter.h"
#include "gl_fixture.h"
#include "gl_mute.h"
#include "support/support_state.h"

namespace {

using SupportSteadyState = GlTest;

TEST_F(SupportSteadyState, FrameOfCachedSizesDoesNotAllocate) {
    auto frame = [] {
        pushMaterial();
        pushLumieres();
        affectePointLight(1, 1, 1, 0, 3, 0, 1);
        auxSolidBox(1, 2, 3);
        auxSolidSphere(1);
        myAuxSolidCylinder(1, 2);
        myAuxSolidCone(1, 2);
        const float c[4] = {0.5f, 0.5f, 0.5f, 1};
        affecteMaterial(c, c, c, c, 10);
        popLumieres();
        popMaterial();
    };
    frame();  // the cache now holds both sizes
    muteGl(true);
    startCountingAllocations();
    for (int k = 0; k < 10; ++k) frame();
    const long allocations = stopCountingAllocations();
    muteGl(false);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(shapeListCount(), 2u);
}

}  // namespace
