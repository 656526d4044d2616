// The in-memory image of a protected file.
#include "storage/ProtectedImage.h"

#include <algorithm>
#include <cstring>

#include "platform/File.h"
#include "platform/FileException.h"

ProtectedImage::ProtectedImage(const Key& key, const Iv& iv, LastBlockRule rule)
    : m_key(key), m_iv(iv), m_rule(rule) {
    MD5Init(&m_md5);
}

bool ProtectedImage::Load(const std::string& path, int& cause) {
    platform::CFile in;
    if (!in.Open(path, "rbn", platform::Share::DenyNone, &cause))
        return false;
    const int64_t length = in.Length();
    if (length < 0 || length % 16 != 0) {
        cause = CFileException::invalidFile;
        return false;
    }
    std::string stored(size_t(length), '\0');
    if (in.Read(&stored[0], stored.size()) != stored.size()) {
        cause = CFileException::endOfFile;
        return false;
    }
    LoadBytes(std::move(stored));
    return true;
}

void ProtectedImage::LoadEmpty() {
    LoadBytes(std::string());
}

void ProtectedImage::LoadBytes(std::string stored) {
    m_stored = std::move(stored);
    WipeText(m_plain);
    m_plain.assign(m_stored.begin(), m_stored.end());
    if (!m_plain.empty()) {
        CbcCipher cipher(m_key, m_iv, false);
        cipher.Process(reinterpret_cast<uint8_t*>(&m_plain[0]), m_plain.size());
        const size_t lastStart = m_plain.size() - 16;
        const char* last = m_plain.data() + lastStart;
        size_t keep = 16;
        if (m_rule == LastBlockRule::ThroughFirstNewline) {
            const void* lf = std::memchr(last, '\n', 16);
            if (lf != nullptr)
                keep = size_t(static_cast<const char*>(lf) - last) + 1;
        } else {
            size_t n = 16;
            while (n > 0 && last[n - 1] != '\n') --n;
            keep = n == 0 ? 16 : n;
        }
        WipeMemory(&m_plain[lastStart + keep], 16 - keep);
        m_plain.resize(lastStart + keep);
    }
    m_validBlocks = m_plain.size() / 16;
    m_sealed = true;
    m_changed = false;
    MD5Init(&m_md5);
    m_md5Blocks = 0;
    AdvanceDigest(m_validBlocks);
    Md5Context whole = m_md5;
    const size_t done = m_md5Blocks * 16;
    MD5Update(&whole, m_stored.data() + done, m_stored.size() - done);
    m_loadedDigest = DigestHex(MD5Final(&whole));
}

void ProtectedImage::Append(const char* text, size_t length) {
    if (length == 0)
        return;
    ForgetFrom(m_plain.size());
    m_plain.append(text, length);
}

void ProtectedImage::AppendLine(const std::string& line) {
    const bool ended = m_plain.empty() || m_plain.back() == '\n';
    Append((ended ? "" : "\n") + line + "\n");
}

void ProtectedImage::Replace(const SecureText& plain) {
    const size_t common = size_t(
        std::mismatch(m_plain.begin(), m_plain.begin() + std::min(m_plain.size(), plain.size()),
                      plain.begin())
            .first -
        m_plain.begin());
    if (common == m_plain.size() && common == plain.size())
        return;
    ForgetFrom(common);
    WipeText(m_plain);
    m_plain = plain;
}

void ProtectedImage::Truncate(size_t length) {
    if (length >= m_plain.size())
        return;
    ForgetFrom(length);
    WipeMemory(&m_plain[length], m_plain.size() - length);
    m_plain.resize(length);
}

void ProtectedImage::ForgetFrom(size_t plainOffset) {
    m_validBlocks = std::min(m_validBlocks, plainOffset / 16);
    if (m_md5Blocks > m_validBlocks) {
        MD5Init(&m_md5);
        m_md5Blocks = 0;
    }
    m_sealed = false;
    m_changed = true;
}

void ProtectedImage::Seal() {
    if (m_sealed)
        return;
    const size_t start = m_validBlocks * 16;
    m_stored.resize(start);
    if (start < m_plain.size()) {
        Iv chain = m_iv;
        if (start > 0)
            std::memcpy(chain.data(), m_stored.data() + start - 16, 16);
        const size_t tail = m_plain.size() - start;
        const size_t padded = (tail + 15) / 16 * 16;
        // Room first, so no buffer that held plaintext is given back unwiped.
        m_stored.reserve(start + padded);
        m_stored.append(m_plain, start, tail);
        m_stored.append(padded - tail, '\0');
        CbcCipher cipher(m_key, chain, true);
        cipher.Process(reinterpret_cast<uint8_t*>(&m_stored[start]), padded);
    }
    m_validBlocks = m_plain.size() / 16;
    m_sealed = true;
}

void ProtectedImage::AdvanceDigest(size_t blocks) {
    if (blocks <= m_md5Blocks)
        return;
    MD5Update(&m_md5, m_stored.data() + m_md5Blocks * 16, (blocks - m_md5Blocks) * 16);
    m_md5Blocks = blocks;
}

const std::string& ProtectedImage::Stored() {
    Seal();
    return m_stored;
}

std::string ProtectedImage::StoredDigest() {
    Seal();
    AdvanceDigest(m_validBlocks);
    Md5Context whole = m_md5;
    const size_t done = m_md5Blocks * 16;
    MD5Update(&whole, m_stored.data() + done, m_stored.size() - done);
    return DigestHex(MD5Final(&whole));
}
