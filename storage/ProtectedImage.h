// A protected file held in memory as its plaintext and its stored bytes side by side, the
// form every command works on instead of a plaintext working copy on disk. A change at the
// end (new records, new entries) re-encrypts only from the block the old text ended in: the
// chaining of CBC lets every whole block before it stay as it is stored, and the digest of
// the stored bytes continues from the state it had after those blocks. A change elsewhere
// re-encrypts from the first block that differs. The bytes produced are always exactly those
// of encrypting the whole plaintext again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/Crypto.h"
#include "storage/Md5.h"
#include "storage/SecureText.h"

// How much of the last block a decryption keeps (the zero padding is not plaintext).
enum class LastBlockRule {
    ThroughFirstNewline,  // up to and with its first 0x0A (all 16 bytes when it has none)
    ThroughLastNewline,   // up to and with its last 0x0A (all 16 bytes when it has none)
};

class ProtectedImage {
  public:
    ProtectedImage(const Key& key, const Iv& iv, LastBlockRule rule);
    ProtectedImage(const ProtectedImage&) = delete;
    ProtectedImage& operator=(const ProtectedImage&) = delete;

    // Reads and decrypts a stored file. False with the file exception's cause when it cannot
    // be read, or (invalidFile) when its length is not a whole number of blocks.
    bool Load(const std::string& path, int& cause);
    // An image of an empty (or missing) file.
    void LoadEmpty();
    // Takes stored bytes as they are (a whole number of blocks).
    void LoadBytes(std::string stored);

    const SecureText& Plain() const { return m_plain; }
    // Adds text at the end.
    void Append(const char* text, size_t length);
    void Append(const std::string& text) { Append(text.data(), text.size()); }
    // Adds `line` and a line feed, after one that ends the text when it has none yet.
    void AppendLine(const std::string& line);
    // Puts a new plaintext in place (the blocks it shares with the old one stay).
    void Replace(const SecureText& plain);
    // Cuts the plaintext back to its first `length` bytes.
    void Truncate(size_t length);

    // The stored bytes of the plaintext as it stands, and their MD5 digest in hex.
    const std::string& Stored();
    std::string StoredDigest();
    // The digest of the bytes as they were read by Load (the file as it lay on disk).
    const std::string& LoadedDigest() const { return m_loadedDigest; }
    // Whether the plaintext differs from what was loaded or last marked saved.
    bool Changed() const { return m_changed; }
    void MarkSaved() { m_changed = false; }

  private:
    void Seal();
    void ForgetFrom(size_t plainOffset);
    void AdvanceDigest(size_t blocks);

    const Key& m_key;  // the store's; never copied
    Iv m_iv;
    LastBlockRule m_rule;
    SecureText m_plain;
    std::string m_stored;
    size_t m_validBlocks = 0;  // blocks of m_stored that are the encryption of m_plain's start
    bool m_sealed = true;      // m_stored is the whole encryption of m_plain
    Md5Context m_md5{};        // fed with the first m_md5Blocks blocks of m_stored
    size_t m_md5Blocks = 0;
    std::string m_loadedDigest;
    bool m_changed = false;
};
