#include "viewer/screenshot.h"

#include <cstring>
#include <string>
#include <vector>

#include "output/numbered_file.h"
#include "output/png_file.h"
#include "readback/frame_readback.h"
#include "scene/console.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

namespace {

struct ScreenshotState {
    bool requested = false;
};

ScreenshotState screenshot;

// The frame just drawn, top row first, as it is about to be shown.
bool readFrame(std::vector<unsigned char>& rgb, int& width, int& height) {
    viewSize(width, height);
    return readFrameRGB(width, height, rgb);
}

bool isSeparator(char c) {
#ifdef _WIN32
    if (c == '\\' || c == ':') return true;
#endif
    return c == '/';
}

// "dir/robot.scn" gives the folder "dir/" and the stem "robot".
void folderAndStem(const std::string& path, std::string& folder, std::string& stem) {
    std::size_t nameAt = path.size();
    while (nameAt > 0 && !isSeparator(path[nameAt - 1])) --nameAt;
    folder = path.substr(0, nameAt);
    stem = path.substr(nameAt);
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    if (stem.empty()) stem = "mirovan";
}

}  // namespace

void requestScreenshot() { screenshot.requested = true; }

void saveRequestedScreenshot() {
    if (!screenshot.requested) return;
    screenshot.requested = false;
    std::vector<unsigned char> rgb;
    int width = 0, height = 0;
    if (!readFrame(rgb, width, height)) {
        textPut(console(), "L'image de la fenetre ne peut pas etre lue!!!\n");
        consoleFlush();
        return;
    }
    const std::vector<unsigned char> png = encodeRgbPng(rgb.data(), width, height);
    std::string folder, stem;
    folderAndStem(sceneFileName(), folder, stem);
    if (sceneSource() != SceneSource::File) folder.clear();  // a pipe's folder is no place for it
    OutputResult saved = writeNumberedFile(folder + stem + "-", ".png", png.data(), png.size());
    if (!saved.ok() && !folder.empty())
        saved = writeNumberedFile(stem + "-", ".png", png.data(), png.size());
    if (saved.ok())
        textPrintf(console(), "Image enregistree dans %s\n", saved.path.c_str());
    else
        textPrintf(console(), "%s ne peut pas etre ecrit (%s)!!!\n", saved.path.c_str(),
                   std::strerror(saved.error));
    consoleFlush();
}
