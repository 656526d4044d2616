// MD5 (RFC 1321), the system's own, with its continue-after-final behaviour: MD5Final pads
// through the update path, so the byte count advances, and leaves the state and the count
// in place; feeding more bytes afterwards and finalising again continues from there.
// Also the text digest used for keys and initialisation vectors, and the hex form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Md5Context {
    uint8_t buffer[64];
    uint32_t state[4];
    uint64_t count;  // bytes fed so far, padding included
    uint8_t digest[16];
};

void MD5Init(Md5Context* ctx);
void MD5Update(Md5Context* ctx, const void* data, size_t length);
// Finishes and returns the 16 digest bytes (they live in ctx->digest).
const uint8_t* MD5Final(Md5Context* ctx);

// 16 bytes printed with "%02x" each: 32 lower-case hexadecimal characters.
std::string DigestHex(const uint8_t digest[16]);

// The text digest: the MD5 of a text as keys and initialisation vectors use it. For every
// full 64-character piece of the text the first 64 characters are fed again, then the
// characters that remain.
void DigestText(const std::string& text, uint8_t digest[16]);
