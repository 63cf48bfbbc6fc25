// The checks behind the fuzz targets. Each takes one input, runs it through
// the program's own entry points and returns what went wrong, or an empty
// string when every property held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Tokens, numbers and statements in both precisions against the C library's
// fscanf: same tokens, same values bit for bit, same bytes consumed; every
// number's text is printf's "%f" of its value.
std::string checkReader(const std::uint8_t* data, std::size_t size);

// Each translator on the input held in memory: the echo and the output as
// printf would write them, and the output keeps its shape rules.
std::string checkVrml(const std::uint8_t* data, std::size_t size);
std::string checkSource(const std::uint8_t* data, std::size_t size);

// The screen interpreter in an offscreen context, two frames of the input:
// echo as the reader says, modelview stack and matrix back where the frame
// began, at most eight lights, stacks and display lists the same after the
// second frame as after the first. setUpViewerCheck opens the context.
void setUpViewerCheck();

// The page and glTF exports on the input held in memory: the echo of the
// statements, a page that closes, and a binary glTF container whose header
// and chunks hold together.
std::string checkExports(const std::uint8_t* data, std::size_t size);
std::string checkViewer(const std::uint8_t* data, std::size_t size);
