// Choice 1 of an acceptance: the accepted file becomes its own new backup. The file is read
// once; its bytes become the new copy (encrypted in mode "N") in the place of its old one in a
// new "Backup File <n>", with its entry in the old entry's place in a new "Backup Index <n>"
// (or both at the end when it had none), and the digest of those same bytes becomes the
// record's. Copies and entries of other files keep their order and bytes. The new pair is
// staged beside the old one and put in place by the acceptance's commit.
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileDigest.h"

namespace {

void Exclaim(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation);
}

std::string CouldNotCheckText(const std::string& path, int cause) {
    return "Couldn't check " + path + "\nReason: " + FileErrorName(cause);
}

}  // namespace

void RenewBackupCopy(CheckRunState& run) {
    WorkFilesView& view = *run.view;
    const std::string& path = run.path;
    DatabaseFiles& files = view.WorkFiles();
    BackupPair* pair = files.Pair();
    if (pair == nullptr) {
        Exclaim("The backup copy of " + path + " was not renewed: " + view.WorkDatabasePath() +
                " has no line in the Database Index.");
        return;
    }
    std::string mode;
    Settings ownSettings;
    (run.settings ? *run.settings : ownSettings).BackupMode(mode);

    platform::CFile in;
    int cause = 0;
    if (!in.Open(path, "rb", platform::Share::DenyNone, &cause)) {
        Exclaim(CouldNotCheckText(path, cause));
        return;
    }
    // A protected copy holds the low 32 bits of the file's size, as the formats require.
    const int64_t length = in.Length();
    const uint64_t copyLimit =
        mode == "N" && length >= (int64_t(1) << 32) ? uint32_t(length) : ~uint64_t(0);
    uint64_t total = 0, copied = 0;
    std::string digest;
    const bool renewed = pair->Renew(files.Tx(), path, mode, [&] {
        total = DigestWhileReading(in, digest, [&](const unsigned char* data, size_t n) {
            const size_t take = size_t(std::min<uint64_t>(n, copyLimit - copied));
            if (take > 0)
                pair->WriteCopy(data, take);
            copied += take;
        });
        return true;
    });
    if (!renewed)
        return;
    // The record describes the bytes the copy holds.
    run.newDigest = digest;
    run.findData.nFileSizeLow = uint32_t(total);
}
