// The in-memory protected file: whatever way its plaintext came about (appended piece by
// piece, rewritten in the middle, cut back), its stored bytes are those of encrypting the
// whole plaintext at once — the shared known answers — and its digest is the MD5 of those
// bytes, however much of it was carried over from before the change.
#include <gtest/gtest.h>

#include "storage/ProtectedImage.h"
#include "tests/storage/StorageHelpers.h"

namespace {

struct Case {
    Key key;
    Iv iv;
    std::string plain, stored, decrypted;
};

std::vector<Case> KnownAnswers() {
    std::vector<Case> cases;
    for (const kat::Value& v : kat::LoadProtectedVectors())
        cases.push_back({Bytes<32>(v["key"].text), Bytes<16>(v["iv"].text),
                         kat::FromHex(v["plain_hex"].text), kat::FromHex(v["protected_hex"].text),
                         kat::FromHex(v["decrypt_with_iv_hex"].text)});
    return cases;
}

SecureText Secure(const std::string& text) {
    return SecureText(text.begin(), text.end());
}

void ExpectStoredAs(ProtectedImage& image, const Case& c) {
    EXPECT_EQ(kat::ToHex(image.Stored()), kat::ToHex(c.stored));
    EXPECT_EQ(image.StoredDigest(), Md5Hex(c.stored));
}

TEST(ProtectedImage, EveryWayToTheSamePlaintextGivesTheKnownBytes) {
    for (const Case& c : KnownAnswers()) {
        SCOPED_TRACE(std::to_string(c.plain.size()) + " bytes");
        // Read back: the plaintext is cut as the whole-block decryption cuts it.
        ProtectedImage read(c.key, c.iv, LastBlockRule::ThroughFirstNewline);
        read.LoadBytes(c.stored);
        EXPECT_EQ(kat::ToHex(std::string(read.Plain().begin(), read.Plain().end())),
                  kat::ToHex(c.decrypted));
        EXPECT_EQ(read.LoadedDigest(), Md5Hex(c.stored));

        // Appended in pieces of every awkward size, sealed and digested between the pieces.
        for (const size_t piece : {size_t(1), size_t(15), size_t(17), size_t(70001)}) {
            ProtectedImage grown(c.key, c.iv, LastBlockRule::ThroughFirstNewline);
            grown.LoadEmpty();
            for (size_t at = 0; at < c.plain.size(); at += piece) {
                grown.Append(c.plain.substr(at, piece));
                grown.StoredDigest();
            }
            ExpectStoredAs(grown, c);
        }

        // Rewritten in the middle and cut back from something longer.
        ProtectedImage rewritten(c.key, c.iv, LastBlockRule::ThroughFirstNewline);
        rewritten.LoadEmpty();
        std::string other = c.plain + "tail that goes";
        if (!other.empty())
            other[other.size() / 2] = char(other[other.size() / 2] ^ 0x55);
        rewritten.Append(other);
        rewritten.StoredDigest();
        rewritten.Replace(Secure(c.plain + "tail that goes"));
        rewritten.Truncate(c.plain.size());
        ExpectStoredAs(rewritten, c);
    }
}

// A record added to a stored file changes only its last block onwards: every whole block
// before it is kept byte for byte.
TEST(ProtectedImage, AnAppendKeepsTheStoredBlocksBeforeTheLastOne) {
    const Case c = KnownAnswers().back();
    ProtectedImage image(c.key, c.iv, LastBlockRule::ThroughLastNewline);
    image.LoadEmpty();
    image.Append(std::string(1000, 'r') + "\n");
    const std::string before = image.Stored();
    image.Append("another record\n");
    const std::string after = image.Stored();
    EXPECT_EQ(before.substr(0, 992), after.substr(0, 992));
    EXPECT_NE(before.substr(992), after.substr(992, 16));
    EXPECT_TRUE(image.Changed());
    image.MarkSaved();
    EXPECT_FALSE(image.Changed());
}

}  // namespace
