// The key from a password, the initialisation vector of a text, and the CBC chaining over
// single AES-256 blocks from libcrypto. Encryption must chain block by block; decryption
// runs the block cipher over a whole run at once and then undoes the chaining with the
// ciphertext it kept.
#include "storage/Crypto.h"

#include <openssl/evp.h>

#include <cstring>
#include <stdexcept>

#include "storage/Md5.h"

namespace {

const char kSalt[] = "Quillstead";
constexpr int kIterations = 600000;

inline void Xor16(uint8_t* dst, const uint8_t* src) {
    for (int i = 0; i < 16; ++i) dst[i] ^= src[i];
}

}  // namespace

Key DeriveKey(const std::string& password) {
    Key key{};
    if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()),
                          reinterpret_cast<const unsigned char*>(kSalt), int(sizeof kSalt - 1),
                          kIterations, EVP_sha256(), int(key.size()), key.data()) != 1) {
        throw std::runtime_error("The key could not be derived from the password.");
    }
    return key;
}

Iv IvFromText(const std::string& text) {
    uint8_t digest[16];
    DigestText(text, digest);
    Iv iv{};
    std::memcpy(iv.data(), digest, 8);
    std::memcpy(iv.data() + 8, digest, 8);
    return iv;
}

CbcCipher::CbcCipher(const Key& key, const Iv& iv, bool encrypt)
    : m_ctx(EVP_CIPHER_CTX_new()), m_encrypt(encrypt) {
    std::memcpy(m_chain, iv.data(), 16);
    EVP_CIPHER_CTX* ctx = static_cast<EVP_CIPHER_CTX*>(m_ctx);
    if (ctx == nullptr ||
        EVP_CipherInit_ex(ctx, EVP_aes_256_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) !=
            1 ||
        EVP_CIPHER_CTX_set_padding(ctx, 0) != 1) {
        EVP_CIPHER_CTX_free(ctx);
        throw std::runtime_error("The AES-256 cipher could not be set up.");
    }
}

CbcCipher::~CbcCipher() {
    EVP_CIPHER_CTX_free(static_cast<EVP_CIPHER_CTX*>(m_ctx));
}

void CbcCipher::Process(uint8_t* data, size_t length) {
    EVP_CIPHER_CTX* ctx = static_cast<EVP_CIPHER_CTX*>(m_ctx);
    length -= length % 16;
    int produced = 0;
    if (m_encrypt) {
        for (size_t off = 0; off < length; off += 16) {
            uint8_t* block = data + off;
            Xor16(block, m_chain);
            EVP_CipherUpdate(ctx, block, &produced, block, 16);
            std::memcpy(m_chain, block, 16);
        }
        return;
    }
    // Decryption: P_i = D(C_i) xor C_(i-1). The ciphertext of a run is kept aside, the run
    // is decrypted in one call and the chaining undone from the kept copy.
    constexpr size_t kRun = 4096;
    uint8_t kept[kRun];
    for (size_t off = 0; off < length; off += kRun) {
        size_t n = length - off < kRun ? length - off : kRun;
        uint8_t* run = data + off;
        std::memcpy(kept, run, n);
        EVP_CipherUpdate(ctx, run, &produced, run, int(n));
        Xor16(run, m_chain);
        for (size_t b = 16; b < n; b += 16) Xor16(run + b, kept + b - 16);
        std::memcpy(m_chain, kept + n - 16, 16);
    }
}
