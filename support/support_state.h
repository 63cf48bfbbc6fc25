// Support module state seen by the screen viewer and the tests.
// Not part of the face that generated sources include.
#ifndef MIROVAN_SUPPORT_STATE_H
#define MIROVAN_SUPPORT_STATE_H

#include <cstddef>

// Remember the current light set and both stack depths, so that every frame
// can start from what the first one started with.
void markFrameStart();
// Put back what markFrameStart remembered and rebuild the GL lights from it
// as popLumieres would (the default light, if the set is empty, is placed
// under the current modelview). Does nothing before the first mark.
void restoreFrameStart();

// Depths count pushes beyond the stacks' capacity too.
int materialStackDepth();
int lightStackDepth();
int currentLightCount();
// Box and sphere sizes held by the display-list cache.
std::size_t shapeListCount();

// Where the one-time capacity messages go: by default standard output
// through printf. A program that buffers its own standard output can take
// them into that buffer so they keep their place. nullptr: back to printf.
using SupportMessageSink = void (*)(const char* text);
void setSupportMessageSink(SupportMessageSink sink);

// Back to the start-of-run state: depths 0, no light, cache forgotten (its
// lists are not deleted), one-time messages may show again, no frame mark.
// The message sink stays. Makes no GL call.
void resetSupportState();

#endif
