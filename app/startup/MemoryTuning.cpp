#include "MemoryTuning.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <unistd.h>
#endif

namespace quorvel::startup {

void KeepFreedMemoryForReuse() {
#ifdef __GLIBC__
    if (std::getenv("GLIBC_TUNABLES") != nullptr) return;  // the start-up settings decide
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // buffers up to this size come from the heap
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

void RestartWithLargeBufferHeap(char* argv[]) {
#if defined(__GLIBC__) && defined(__linux__)
    if (std::getenv("GLIBC_TUNABLES") != nullptr) return;  // set already, by us or by the user
    ::setenv("GLIBC_TUNABLES",
             "glibc.malloc.hugetlb=1:glibc.malloc.mmap_threshold=1073741824:glibc.malloc.trim_threshold=2147483648", 1);
    ::execv("/proc/self/exe", argv);
    ::unsetenv("GLIBC_TUNABLES");  // not restarted: go on as started
#else
    (void)argv;
#endif
}

}  // namespace quorvel::startup
