// Plaintext in memory: the decrypted database, index and backup index a command works on.
// Its memory is locked where the system allows it (so it is never written to swap), left out
// of core dumps, and overwritten with zeros before it is given back, however the command
// ends. Plaintext never reaches the disk through these buffers.
#pragma once

#include <cstddef>
#include <string>

void* SecureAllocate(size_t bytes);
void SecureRelease(void* p, size_t bytes);

template <class T>
struct SecureAllocator {
    using value_type = T;
    SecureAllocator() = default;
    template <class U>
    SecureAllocator(const SecureAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(SecureAllocate(n * sizeof(T))); }
    void deallocate(T* p, size_t n) { SecureRelease(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const SecureAllocator<U>&) const {
        return true;
    }
    template <class U>
    bool operator!=(const SecureAllocator<U>&) const {
        return false;
    }
};

using SecureText = std::basic_string<char, std::char_traits<char>, SecureAllocator<char>>;

// Overwrites a buffer with zeros in a way the compiler keeps.
void WipeMemory(void* p, size_t bytes);
// Empties the text, overwriting every byte it held (its spare room included).
void WipeText(SecureText& text);
void WipeText(std::string& text);
