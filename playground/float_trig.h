// The float sine and cosine of the native build's C library, computed the
// same way on any platform: the WebAssembly build takes them for sinf and
// cosf, so that rotations give the native matrices.
#pragma once

float nativeSine(float x);
float nativeCosine(float x);
