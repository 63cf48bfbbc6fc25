// Support module state seen by the screen viewer and the tests.
// Not part of the face that generated sources include.
#ifndef MIROVAN_SUPPORT_STATE_H
#define MIROVAN_SUPPORT_STATE_H

#include <cstddef>

// Remember the current material of both faces, the light set and both
// stack depths, so that every frame can start from what the first one
// started with. Both calls also start a frame of the display-list cache:
// lists of box and sphere sizes the last frame did not draw are deleted.
void markFrameStart();
// Put back what markFrameStart remembered: both faces' material bit for bit,
// the depths, and the GL lights rebuilt from the set as popLumieres would
// (the default light, if the set is empty, is placed under the current
// modelview). Does nothing before the first mark. Both calls also empty the
// stack of modelviews that did not fit the GL's (modelview_stack.h).
void restoreFrameStart();

// Depths count pushes beyond the stacks' capacity too.
int materialStackDepth();
int lightStackDepth();
int currentLightCount();
// Box and sphere sizes held by the display-list cache; never more than
// kMaxShapeLists: beyond that a new size is compiled, called and freed at once.
std::size_t shapeListCount();
constexpr std::size_t kMaxShapeLists = 1024;

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
