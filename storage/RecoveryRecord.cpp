// The recovery notes: their names, their lines and their encrypted files.
#include "storage/RecoveryRecord.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/Durable.h"
#include "platform/Prefix.h"
#include "storage/ProtectedImage.h"

namespace {

const char kSep = '\x7f';
const char* const kMagic = "Quillstead recovery 1";
const char* const kNotePrefix = "plain-";
const char* const kTransactionPrefix = "transaction-";

std::string Line(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty())
            line += kSep;
        line += field;
    }
    return line + "\n";
}

std::vector<std::string> SplitLine(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t sep = line.find(kSep, start);
        fields.push_back(
            line.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos)
            return fields;
        start = sep + 1;
    }
}

// The lines after the magic line; false when the text does not begin with it.
bool BodyLines(const std::string& text, std::vector<std::vector<std::string>>& lines) {
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return false;  // every line of a note ends with its line feed
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            if (line != kMagic)
                return false;
            first = false;
            continue;
        }
        lines.push_back(SplitLine(line));
    }
    return !first;
}

Iv RecoveryIv() {
    return IvFromText("Quillstead Recovery");
}

}  // namespace

std::string RecoveryFolder() {
    return platform::PrefixRoot() + "/recovery";
}

namespace {

// A new name of the kind, unique in this process, and the names of the kind that exist now
// (a name with a dot is a note's temporary, never a note).
std::string NewRecoveryPath(const char* kind) {
    static unsigned counter = 0;
    return RecoveryFolder() + "/" + kind + std::to_string(getpid()) + "-" +
           std::to_string(++counter);
}

std::vector<std::string> RecoveryPaths(const char* kind) {
    std::vector<std::string> paths;
    for (const std::string& name : platform::ListHostFolder(RecoveryFolder(), kind))
        if (name.find('.') == std::string::npos)
            paths.push_back(RecoveryFolder() + "/" + name);
    return paths;
}

}  // namespace

std::string NewTransactionRecordPath() {
    return NewRecoveryPath(kTransactionPrefix);
}

std::vector<std::string> TransactionRecordPaths() {
    return RecoveryPaths(kTransactionPrefix);
}

std::string NewPlaintextNotePath() {
    return NewRecoveryPath(kNotePrefix);
}

std::vector<std::string> PlaintextNotePaths() {
    return RecoveryPaths(kNotePrefix);
}

std::string FormatTransactionRecord(const TransactionRecord& record) {
    std::string text = std::string(kMagic) + "\n";
    text += Line({"state", record.committed ? "committed" : "open"});
    for (const auto& s : record.staged) text += Line({"stage", s.target, s.staged});
    for (const auto& a : record.appended)
        text += Line({"append", a.path, std::to_string(a.length)});
    return text;
}

bool ParseTransactionRecord(const std::string& text, TransactionRecord& record) {
    record = TransactionRecord();
    std::vector<std::vector<std::string>> lines;
    if (!BodyLines(text, lines))
        return false;
    bool state = false;
    for (const auto& f : lines) {
        if (f.size() == 2 && f[0] == "state") {
            record.committed = f[1] == "committed";
            state = true;
        } else if (f.size() == 3 && f[0] == "stage") {
            record.staged.push_back({f[1], f[2]});
        } else if (f.size() == 3 && f[0] == "append") {
            char* end = nullptr;
            const long long length = std::strtoll(f[2].c_str(), &end, 10);
            if (f[2].empty() || *end != '\0' || length < 0)
                return false;
            record.appended.push_back({f[1], length});
        } else {
            return false;
        }
    }
    return state;
}

std::string FormatPlaintextNote(const PlaintextNoteRecord& note) {
    std::string text = std::string(kMagic) + "\n" + Line({"plain", note.path});
    if (!note.finish.empty())
        text += Line({"finish", note.finish});
    return text;
}

bool ParsePlaintextNote(const std::string& text, PlaintextNoteRecord& note) {
    note = PlaintextNoteRecord();
    std::vector<std::vector<std::string>> lines;
    if (!BodyLines(text, lines))
        return false;
    for (const auto& f : lines) {
        if (f.size() == 2 && f[0] == "plain")
            note.path = f[1];
        else if (f.size() == 2 && f[0] == "finish")
            note.finish = f[1];
        else
            return false;
    }
    return !note.path.empty();
}

bool WriteRecoveryFile(const Key& key, const std::string& hostPath, const std::string& text) {
    ProtectedImage image(key, RecoveryIv(), LastBlockRule::ThroughLastNewline);
    image.LoadEmpty();
    image.Append(text);
    return platform::WriteHostFileAtomically(hostPath, image.Stored());
}

bool ReadRecoveryFile(const Key& key, const std::string& hostPath, std::string& text) {
    std::string stored;
    if (!platform::ReadHostFile(hostPath, stored) || stored.size() % 16 != 0)
        return false;
    ProtectedImage image(key, RecoveryIv(), LastBlockRule::ThroughLastNewline);
    image.LoadBytes(std::move(stored));
    text.assign(image.Plain().begin(), image.Plain().end());
    return true;
}
