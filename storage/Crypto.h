// The key, the initialisation vectors and the AES-256 block chaining of the protected
// files. Single blocks come from libcrypto; the chaining is our own CBC:
// C_i = AES(P_i xor C_(i-1)), C_(-1) = the initialisation vector.
#pragma once

#include <array>
#include <cstdint>
#include <string>

using Key = std::array<uint8_t, 32>;
using Iv = std::array<uint8_t, 16>;

// PBKDF2-HMAC-SHA256 of the password's bytes, salt "Quillstead", 600,000 iterations.
Key DeriveKey(const std::string& password);

// The first 8 bytes of DigestText(text), written twice.
Iv IvFromText(const std::string& text);

// Encrypts or decrypts a run of whole 16-byte blocks in place, carrying the chain in `chain`
// (start it with the initialisation vector), so a file can be done piece by piece.
class CbcCipher {
  public:
    CbcCipher(const Key& key, const Iv& iv, bool encrypt);
    ~CbcCipher();
    CbcCipher(const CbcCipher&) = delete;
    CbcCipher& operator=(const CbcCipher&) = delete;
    // `length` must be a multiple of 16.
    void Process(uint8_t* data, size_t length);

  private:
    void* m_ctx;  // EVP_CIPHER_CTX of single-block AES-256-ECB
    bool m_encrypt;
    uint8_t m_chain[16];
};
