// Writing over the output itself, for the outputs that cannot be replaced by
// a new file (several hard links, a folder that takes no new file, an owner
// the new file could not have): the text is staged in a file of its own and
// copied over the output only once complete, and if that copy fails the
// earlier content is put back.
#pragma once

#include "output_file.h"

// Opens the output for update and a staging file for the text; false if
// either cannot be opened.
bool openStaged(OutputFile& output);

// With `keep`, copies the staged text over the output; false if it could not
// be put in place, the earlier content then being there again. Closes both.
bool closeStaged(OutputFile& output, bool keep);
