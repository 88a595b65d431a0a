// Makes one of the program's next operator new calls fail, so that a test
// can see code survive a failed allocation. Counting starts when armed.
#pragma once

// The `nth` allocation from now on throws std::bad_alloc; 0 disarms.
void fail_allocation(int nth);
