// For tests only: a fault in writing an output over in place. The product
// never includes this face.
#pragma once

// The copy over the output fails once `bytes` of it are written, as a full
// disk would cut it (-1, the default: it never does).
void setInPlaceFailureAfter(long long bytes);
