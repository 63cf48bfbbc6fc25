#include "gl_fixture.h"

#include "headless.h"
#include "support_state.h"

#include <cstring>

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
  return ::testing::AssertionFailure() << "(" << a[0] << ", " << a[1] << ", " << a[2] << ", "
                                       << a[3] << ") differs from (" << b[0] << ", " << b[1]
                                       << ", " << b[2] << ", " << b[3] << ")";
}

int occurrences(const std::string& text, const std::string& piece) {
  int n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}
