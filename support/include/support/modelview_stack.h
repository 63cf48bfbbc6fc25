// Screen mode's Push and Pop of the modelview matrix. Nesting deeper than
// the GL's own stack keeps the matrices here instead, so that any depth the
// material and light stacks hold draws as shallow nesting does. Not part of
// the face that generated sources include; the stack here is emptied by
// markFrameStart and restoreFrameStart.
#ifndef MIROVAN_SUPPORT_MODELVIEW_STACK_H
#define MIROVAN_SUPPORT_MODELVIEW_STACK_H

// glPushMatrix while the GL's stack has room, else the matrix saved here.
void pushModelview();
// Undoes the matching pushModelview; without one, a plain glPopMatrix.
void popModelview();

#endif
