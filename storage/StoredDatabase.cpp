// A database held in memory.
#include "storage/StoredDatabase.h"

#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/FileDigest.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/Transaction.h"

StoredDatabase::StoredDatabase(const Key& key, std::string path)
    : m_path(std::move(path)),
      m_image(key, IvFromText(m_path), LastBlockRule::ThroughFirstNewline) {
    LoadEmpty();
}

bool StoredDatabase::Load(int& cause) {
    if (!m_image.Load(m_path, cause))
        return false;
    m_storedDigest = m_image.LoadedDigest();
    IndexRecords();
    return true;
}

void StoredDatabase::LoadEmpty() {
    m_image.LoadEmpty();
    m_storedDigest = m_image.LoadedDigest();
    IndexRecords();
}

void StoredDatabase::IndexRecords() {
    m_listed.Clear();
    m_listedMade = false;
    m_recordCount = 0;
    const SecureText& plain = m_image.Plain();
    for (size_t start = 0; start < plain.size(); ++m_recordCount) {
        const size_t end = plain.find('\n', start);
        start = end == SecureText::npos ? plain.size() : end + 1;
    }
}

void StoredDatabase::MakeListed() const {
    const SecureText& plain = m_image.Plain();
    m_listed.Clear();
    for (size_t start = 0; start < plain.size();) {
        m_listed.Add(plain, start);
        const size_t end = plain.find('\n', start);
        start = end == SecureText::npos ? plain.size() : end + 1;
    }
    m_listedMade = true;
}

bool StoredDatabase::Lists(const std::string& path) const {
    if (!m_listedMade)
        MakeListed();
    return m_listed.Lists(m_image.Plain(), path);
}

void StoredDatabase::AppendRecord(const std::string& line) {
    const SecureText& plain = m_image.Plain();
    // A last record without its line break is ended first, so the new one starts a line.
    if (!plain.empty() && plain.back() != '\n')
        m_image.Append("\n", 1);
    const size_t start = plain.size();
    m_image.Append(line);
    if (m_listedMade)
        m_listed.Add(m_image.Plain(), start);
    ++m_recordCount;
}

void StoredDatabase::Replace(const SecureText& plain) {
    m_image.Replace(plain);
    IndexRecords();
}

void StoredDatabase::KeepFirstRecords(int records) {
    const SecureText& plain = m_image.Plain();
    size_t end = 0;
    for (int i = 0; i < records && end < plain.size(); ++i) {
        const size_t lf = plain.find('\n', end);
        end = lf == SecureText::npos ? plain.size() : lf + 1;
    }
    m_image.Truncate(end);
    IndexRecords();
}

bool StoredDatabase::FileUnchangedSinceRead() const {
    return DigestStoredFile(m_path) == m_storedDigest;
}

std::string StoredDatabase::Stage(Transaction& tx) {
    m_stagedDigest = m_image.StoredDigest();
    tx.Stage(m_path, m_image.Stored());
    return m_stagedDigest;
}

void StoredDatabase::MarkSaved() {
    if (!m_stagedDigest.empty())
        m_storedDigest = m_stagedDigest;
    m_stagedDigest.clear();
    m_image.MarkSaved();
}
