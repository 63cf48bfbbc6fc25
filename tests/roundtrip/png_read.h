// Reads a PNG back into RGB bytes, top row first.
#pragma once

#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// False, with `error` saying why, if the file is not a readable PNG.
bool readPng(const std::string& path, Picture& picture, std::string& error);
