// Counts operator new calls made on this thread while counting is on.
#ifndef MIROVAN_TESTS_SUPPORT_ALLOC_COUNTER_H
#define MIROVAN_TESTS_SUPPORT_ALLOC_COUNTER_H

void startCountingAllocations();
long stopCountingAllocations();  // allocations since the start

#endif
