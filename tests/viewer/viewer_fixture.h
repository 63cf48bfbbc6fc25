// A headless GL context with screen mode's initial state, and a way to see
// what the viewer printed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // Writes `text` as the scene file that displayFrame draws.
    void useScene(const std::string& text);
    // Draws `count` frames; returns what they printed.
    std::string frames(int count = 1);
    std::vector<unsigned char> pixels();
    // The colour at (x, y), y from the top, as 0xRRGGBB.
    unsigned pixel(int x, int y);

    std::string scenePath;
    std::vector<unsigned char> rgb;
};

std::string captureStdout(void (*work)(void*), void* context);
