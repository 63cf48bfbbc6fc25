// The page's own text, embedded at build time from exporters/page/.
#pragma once

// The HTML, with @TITLE@, @SCENE@ and @SCRIPT@ where the writer puts the
// title, the scene's data and the script.
extern const char* const kPageTemplate;
extern const char* const kPageScript;
