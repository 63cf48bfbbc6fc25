#include "viewer/screenshot.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "pngfile/frame_pixels.h"
#include "pngfile/png_encoder.h"
#include "scene/console.h"
#include "viewer/scene_source.h"
#include "viewer/view.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

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

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates folder + stem-N.png with the first N not taken and writes it
// whole. 0 on success with `path` set; else errno, with `path` the name
// it failed on and nothing left behind.
int writeNumbered(const std::string& folder, const std::string& stem,
                  const std::vector<unsigned char>& png, std::string& path) {
    for (long n = 1; n < 1000000; ++n) {
        path = folder + stem + "-" + std::to_string(n) + ".png";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return errno;
        int error = writeAll(fd, png) ? 0 : errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) ::unlink(path.c_str());
        return error;
    }
    return EEXIST;
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
    std::string folder, stem, path;
    folderAndStem(sceneFileName(), folder, stem);
    if (sceneSource() != SceneSource::File) folder.clear();  // a pipe's folder is no place for it
    int error = writeNumbered(folder, stem, png, path);
    if (error != 0 && !folder.empty()) error = writeNumbered("", stem, png, path);
    if (error == 0)
        textPrintf(console(), "Image enregistree dans %s\n", path.c_str());
    else
        textPrintf(console(), "%s ne peut pas etre ecrit (%s)!!!\n", path.c_str(),
                   std::strerror(error));
    consoleFlush();
}
