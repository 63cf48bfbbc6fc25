// A fresh offscreen GL context and support state for every test.
#ifndef MIROVAN_TESTS_SUPPORT_GL_FIXTURE_H
#define MIROVAN_TESTS_SUPPORT_GL_FIXTURE_H

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

using Vec4 = std::array<GLfloat, 4>;
using Matrix = std::array<GLfloat, 16>;

class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

Vec4 materialOf(GLenum face, GLenum pname);
Vec4 lightOf(GLenum light, GLenum pname);  // unused components stay 0
Matrix modelview();
bool lightEnabled(int k);

// Same float bit patterns, component by component.
::testing::AssertionResult sameBits(const Vec4& a, const Vec4& b);

// Runs f with standard output captured and returns what it printed.
template <typename F>
std::string printedBy(F f) {
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
    f();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}

#endif
