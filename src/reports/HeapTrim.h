#pragma once

namespace scortavia {

// glibc keeps the memory a program frees for its next allocations: after a big list or print job
// the idle program would stay as large as at its peak. These hand the free pages back.
void trimHeap();
// The same once control is back in the event loop, when what the caller still holds (a screen
// being closed, a temporary list of rows) is gone too. Requests made meanwhile trim once.
void trimHeapWhenIdle();

}  // namespace scortavia
