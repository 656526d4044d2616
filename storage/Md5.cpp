// MD5 (RFC 1321): the block transform, the byte feed, the final step that pads through the
// feed and leaves the context in place, and the hex and text digests built on them. The
// transform is fully unrolled and reads its 64-byte blocks straight from the caller's bytes
// whenever whole blocks are at hand.
#include "storage/Md5.h"

#include <cstring>

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadLe32(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
#else
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
#endif
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The four round functions in their branch-free forms; G as a sum of disjoint bit sets,
// which lets its two halves be computed side by side.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) (((x) & (z)) + ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define MD5_STEP(f, a, b, c, d, x, t, s)         \
    (a) += f((b), (c), (d)) + (x) + uint32_t(t); \
    (a) = RotateLeft((a), (s)) + (b);

// Runs the transform over `blocks` consecutive 64-byte blocks.
void Transform(uint32_t state[4], const uint8_t* p, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks != 0; --blocks, p += 64) {
        const uint32_t x0 = LoadLe32(p), x1 = LoadLe32(p + 4), x2 = LoadLe32(p + 8),
                       x3 = LoadLe32(p + 12), x4 = LoadLe32(p + 16), x5 = LoadLe32(p + 20),
                       x6 = LoadLe32(p + 24), x7 = LoadLe32(p + 28), x8 = LoadLe32(p + 32),
                       x9 = LoadLe32(p + 36), x10 = LoadLe32(p + 40), x11 = LoadLe32(p + 44),
                       x12 = LoadLe32(p + 48), x13 = LoadLe32(p + 52), x14 = LoadLe32(p + 56),
                       x15 = LoadLe32(p + 60);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478, 7)
        MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756, 12)
        MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070db, 17)
        MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceee, 22)
        MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0faf, 7)
        MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62a, 12)
        MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613, 17)
        MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501, 22)
        MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8, 7)
        MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7af, 12)
        MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1, 17)
        MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7be, 22)
        MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122, 7)
        MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193, 12)
        MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438e, 17)
        MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821, 22)

        MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562, 5)
        MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340, 9)
        MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51, 14)
        MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aa, 20)
        MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105d, 5)
        MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453, 9)
        MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681, 14)
        MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8, 20)
        MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6, 5)
        MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6, 9)
        MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87, 14)
        MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14ed, 20)
        MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905, 5)
        MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8, 9)
        MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9, 14)
        MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8a, 20)

        MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942, 4)
        MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681, 11)
        MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122, 16)
        MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380c, 23)
        MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44, 4)
        MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9, 11)
        MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60, 16)
        MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70, 23)
        MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6, 4)
        MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fa, 11)
        MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085, 16)
        MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05, 23)
        MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039, 4)
        MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5, 11)
        MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8, 16)
        MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665, 23)

        MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244, 6)
        MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97, 10)
        MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7, 15)
        MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039, 21)
        MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3, 6)
        MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92, 10)
        MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47d, 15)
        MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1, 21)
        MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4f, 6)
        MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0, 10)
        MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314, 15)
        MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1, 21)
        MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82, 6)
        MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235, 10)
        MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bb, 15)
        MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391, 21)

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef MD5_STEP
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

}  // namespace

void MD5Init(Md5Context* ctx) {
    std::memset(ctx->buffer, 0, sizeof ctx->buffer);
    ctx->state[0] = 0x67452301;
    ctx->state[1] = 0xefcdab89;
    ctx->state[2] = 0x98badcfe;
    ctx->state[3] = 0x10325476;
    ctx->count = 0;
    std::memset(ctx->digest, 0, sizeof ctx->digest);
}

void MD5Update(Md5Context* ctx, const void* data, size_t length) {
    const uint8_t* in = static_cast<const uint8_t*>(data);
    size_t held = size_t(ctx->count & 63);
    ctx->count += length;

    if (held != 0) {
        size_t take = 64 - held;
        if (length < take) {
            std::memcpy(ctx->buffer + held, in, length);
            return;
        }
        std::memcpy(ctx->buffer + held, in, take);
        Transform(ctx->state, ctx->buffer, 1);
        in += take;
        length -= take;
    }
    if (length >= 64) {
        size_t blocks = length / 64;
        Transform(ctx->state, in, blocks);
        in += blocks * 64;
        length -= blocks * 64;
    }
    if (length != 0)
        std::memcpy(ctx->buffer, in, length);
}

const uint8_t* MD5Final(Md5Context* ctx) {
    // The length is taken before padding; the padding and the length then go through the
    // feed, so the count moves on to the next multiple of 64.
    uint8_t bits[8];
    uint64_t bitCount = ctx->count << 3;
    for (int i = 0; i < 8; ++i) bits[i] = uint8_t(bitCount >> (8 * i));

    static const uint8_t kPadding[64] = {0x80};
    size_t held = size_t(ctx->count & 63);
    size_t padLength = held < 56 ? 56 - held : 120 - held;
    MD5Update(ctx, kPadding, padLength);
    MD5Update(ctx, bits, 8);

    for (int i = 0; i < 4; ++i) StoreLe32(ctx->digest + 4 * i, ctx->state[i]);
    return ctx->digest;
}

std::string DigestHex(const uint8_t digest[16]) {
    static const char kHex[] = "0123456789abcdef";
    std::string text(32, '0');
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = kHex[digest[i] >> 4];
        text[2 * i + 1] = kHex[digest[i] & 15];
    }
    return text;
}

void DigestText(const std::string& text, uint8_t digest[16]) {
    Md5Context ctx;
    MD5Init(&ctx);
    size_t pieces = text.size() / 64;
    for (size_t i = 0; i < pieces; ++i) MD5Update(&ctx, text.data(), 64);
    MD5Update(&ctx, text.data() + pieces * 64, text.size() - pieces * 64);
    std::memcpy(digest, MD5Final(&ctx), 16);
}
