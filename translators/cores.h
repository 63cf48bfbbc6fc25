// The processors this process may run on, as its affinity mask allows.
#pragma once

int usableCores();
