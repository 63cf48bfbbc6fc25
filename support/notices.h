// One-time messages for requests the fixed-size stacks cannot honour.
#ifndef MIROVAN_SUPPORT_NOTICES_H
#define MIROVAN_SUPPORT_NOTICES_H

enum class Notice {
    MaterialStackFull,
    MaterialStackEmpty,
    LightSetFull,
    LightStackFull,
    LightStackEmpty,
};

// Prints the message on standard output the first time only, since a scene
// drawn every frame would otherwise repeat it forever.
void noticeOnce(Notice which);
void clearNotices();

#endif
