#include "reports/HeapTrim.h"

#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace scortavia {

void trimHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void trimHeapWhenIdle() {
    static bool pending = false;
    if (pending) return;
    pending = true;
    QTimer::singleShot(0, [] {
        pending = false;
        trimHeap();
    });
}

}  // namespace scortavia
