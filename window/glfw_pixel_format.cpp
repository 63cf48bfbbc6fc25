#include "glfw_pixel_format.h"

#include "window/window.h"

#include <GLFW/glfw3.h>

bool pixelFormatAvailable(int mode) {
    // GLX through GLFW offers RGBA visuals only.
    return (mode & ModeIndexColour) == 0;
}

void hintPixelFormat(int mode) {
    const int colourBits = 8;  // per channel, 24 in all
    const int alphaBits = (mode & ModeAlpha) ? 8 : 0;
    const int depthBits = (mode & ModeDepth16) ? 16 : (mode & ModeDepth) ? 24 : 0;
    // The request is colour + alpha bits of accumulation. GLFW takes hints as
    // "closest", and GL drivers offer 16 bits a channel, so asking for 8 would
    // tie with (or lose to) having no accumulation buffer at all.
    const int accumBits = (mode & ModeAccum) ? 16 : 0;

    glfwWindowHint(GLFW_DOUBLEBUFFER, (mode & ModeDoubleBuffer) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_RED_BITS, colourBits);
    glfwWindowHint(GLFW_GREEN_BITS, colourBits);
    glfwWindowHint(GLFW_BLUE_BITS, colourBits);
    glfwWindowHint(GLFW_ALPHA_BITS, alphaBits);
    glfwWindowHint(GLFW_DEPTH_BITS, depthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, (mode & ModeStencil) ? 4 : 0);
    glfwWindowHint(GLFW_ACCUM_RED_BITS, accumBits);
    glfwWindowHint(GLFW_ACCUM_GREEN_BITS, accumBits);
    glfwWindowHint(GLFW_ACCUM_BLUE_BITS, accumBits);
    glfwWindowHint(GLFW_ACCUM_ALPHA_BITS, alphaBits ? accumBits : 0);
}
