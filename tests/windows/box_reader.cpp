// box_reader CAPTION SECONDS: prints the text of the message box captioned
// CAPTION (any process of this Wine session) and dismisses it. Exit status 1
// if none appeared in time.
#include <cstdio>
#include <cstdlib>

#include "message_box.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string text = dismissMessageBox(argv[1], std::atoi(argv[2]) * 1000);
    std::fputs(text.c_str(), stdout);
    return text == "<no box>" ? 1 : 0;
}
