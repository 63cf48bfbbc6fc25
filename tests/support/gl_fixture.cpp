#include "gl_fixture.h"

#include <cstring>

#include "headless/headless.h"
#include "support/support_state.h"

void GlTest::SetUp() {
    ASSERT_TRUE(openHeadlessContext(64, 64)) << headlessError();
    resetSupportState();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GlTest::TearDown() { closeHeadlessContext(); }

Vec4 materialOf(GLenum face, GLenum pname) {
    Vec4 v{};
    glGetMaterialfv(face, pname, v.data());
    return v;
}

Vec4 lightOf(GLenum light, GLenum pname) {
    Vec4 v{};
    glGetLightfv(light, pname, v.data());
    return v;
}

Matrix modelview() {
    Matrix m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

bool lightEnabled(int k) { return glIsEnabled(GL_LIGHT0 + k) == GL_TRUE; }

::testing::AssertionResult sameBits(const Vec4& a, const Vec4& b) {
    if (std::memcmp(a.data(), b.data(), sizeof a) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3] << ") differs from ("
           << b[0] << ", " << b[1] << ", " << b[2] << ", " << b[3] << ")";
}

// Under LeakSanitizer: the software GL driver keeps allocations for the
// life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:swrast_dri.so\n"; }
