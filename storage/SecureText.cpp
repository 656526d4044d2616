// Locked, zeroed memory for plaintext.
#include "storage/SecureText.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

void WipeMemory(void* p, size_t bytes) {
    if (p != nullptr && bytes != 0)
        explicit_bzero(p, bytes);
}

namespace {
constexpr size_t kPage = 4096;
size_t WholePages(size_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}
}  // namespace

void* SecureAllocate(size_t bytes) {
    if (bytes < kPage) {
        void* p = std::malloc(bytes == 0 ? 1 : bytes);
        if (p == nullptr)
            throw std::bad_alloc();
        return p;
    }
    // Large buffers get whole pages of their own, locked and left out of core dumps. Both
    // are best effort: a process over its locked-memory limit still works, unlocked.
    void* p = nullptr;
    if (posix_memalign(&p, kPage, WholePages(bytes)) != 0)
        throw std::bad_alloc();
    mlock(p, WholePages(bytes));
    madvise(p, WholePages(bytes), MADV_DONTDUMP);
    return p;
}

void SecureRelease(void* p, size_t bytes) {
    if (p == nullptr)
        return;
    WipeMemory(p, bytes);
    if (bytes >= kPage) {
        madvise(p, WholePages(bytes), MADV_DODUMP);
        munlock(p, WholePages(bytes));
    }
    std::free(p);
}

void WipeText(SecureText& text) {
    WipeMemory(&text[0], text.capacity());
    text.clear();
}

void WipeText(std::string& text) {
    WipeMemory(&text[0], text.capacity());
    text.clear();
}
