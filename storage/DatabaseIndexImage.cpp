// The "Database Index" held in memory.
#include "storage/DatabaseIndexImage.h"

#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "storage/Transaction.h"
#include "storage/WorkCopyStream.h"

DatabaseIndexImage::DatabaseIndexImage(const Key& key, const Iv& indexIv, std::string backupDir)
    : m_backupDir(std::move(backupDir)),
      m_path(DatabaseIndexPath(m_backupDir)),
      m_image(key, indexIv, LastBlockRule::ThroughFirstNewline) {
    m_image.LoadEmpty();
}

void DatabaseIndexImage::Load(bool mustExist) {
    if (!mustExist && !platform::FileExists(m_path)) {
        m_image.LoadEmpty();
        return;
    }
    int cause = 0;
    if (!m_image.Load(m_path, cause))
        throw CFileException(cause, m_path);
}

std::vector<std::string> DatabaseIndexImage::Lines() const {
    return LinesOf(m_image.Plain());
}

bool DatabaseIndexImage::FindLine(const std::string& databasePath, std::string& line) const {
    for (const std::string& candidate : Lines()) {
        if (IndexLineBelongsTo(candidate, databasePath)) {
            line = candidate;
            return true;
        }
    }
    return false;
}

bool DatabaseIndexImage::BackupNumber(const std::string& databasePath, std::string& n) const {
    std::string line;
    return FindLine(databasePath, line) && IndexField(line, 2, n);
}

bool DatabaseIndexImage::Digest(const std::string& databasePath, std::string& digest) const {
    std::string line;
    return FindLine(databasePath, line) && IndexField(line, 5, digest);
}

template <class Rewrite>
void DatabaseIndexImage::RewriteLinesOf(const std::string& databasePath, Rewrite rewrite) {
    SecureText plain;
    for (const std::string& line : Lines()) {
        const std::string out = IndexLineBelongsTo(line, databasePath) ? rewrite(line) : line;
        plain.append(out.data(), out.size());
    }
    m_image.Replace(plain);
}

void DatabaseIndexImage::SetDigest(const std::string& databasePath, const std::string& digest) {
    RewriteLinesOf(databasePath,
                   [&](const std::string& line) { return WithIndexDigest(line, digest); });
}

void DatabaseIndexImage::SetLastChecked(const std::string& databasePath, const FILETIME& checked) {
    RewriteLinesOf(databasePath,
                   [&](const std::string& line) { return WithLastChecked(line, checked); });
}

void DatabaseIndexImage::AddLine(const std::string& line) {
    m_image.AppendLine(line);
}

void DatabaseIndexImage::Stage(Transaction& tx) {
    if (m_image.Changed())
        tx.Stage(m_path, m_image.Stored());
}
