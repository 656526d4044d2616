// MD5: the RFC 1321 test suite, the shared known answers (continuing after the final step
// included), feeds split at every kind of boundary, and the text digest.
#include <gtest/gtest.h>

#include "storage/Md5.h"
#include "tests/storage/JsonVectors.h"
#include "tests/storage/StorageHelpers.h"

namespace {

std::string TextDigestHex(const std::string& text) {
    uint8_t digest[16];
    DigestText(text, digest);
    return DigestHex(digest);
}

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890"
                     "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, SharedKnownAnswersWithContinuationAfterFinal) {
    kat::Value vectors = kat::Load("md5.json");
    ASSERT_EQ(vectors.items.size(), 14u);
    int continued = 0;
    for (const kat::Value& v : vectors.items) {
        std::string input = kat::FromHex(v["input_hex"].text);
        Md5Context ctx;
        MD5Init(&ctx);
        MD5Update(&ctx, input.data(), input.size());
        EXPECT_EQ(DigestHex(MD5Final(&ctx)), v["digest"].text) << v["input_hex"].text;
        if (!v.Has("then_hex"))
            continue;
        ++continued;
        std::string more = kat::FromHex(v["then_hex"].text);
        MD5Update(&ctx, more.data(), more.size());
        EXPECT_EQ(DigestHex(MD5Final(&ctx)), v["digest_after_second_final"].text)
            << v["input_hex"].text;
    }
    EXPECT_EQ(continued, 3);
}

TEST(Md5, FinalPadsThroughTheFeedAndKeepsTheContext) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, "abc", 3);
    const uint8_t* digest = MD5Final(&ctx);
    EXPECT_EQ(digest, ctx.digest);
    EXPECT_EQ(ctx.count, 64u);  // 3 bytes, 53 of padding, 8 of length
    EXPECT_EQ(DigestHex(ctx.digest), "900150983cd24fb0d6963f7d28e17f72");

    // 56 bytes need a second padding block.
    MD5Init(&ctx);
    std::string fiftySix(56, 'q');
    MD5Update(&ctx, fiftySix.data(), fiftySix.size());
    MD5Final(&ctx);
    EXPECT_EQ(ctx.count, 128u);
}

TEST(Md5, SplitFeedsGiveTheSameDigest) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data += static_cast<char>((i * 37 + 11) & 0xFF);
    const std::string whole = Md5Hex(data);
    for (size_t step : {1u, 3u, 63u, 64u, 65u, 127u, 200u}) {
        Md5Context ctx;
        MD5Init(&ctx);
        for (size_t at = 0; at < data.size(); at += step)
            MD5Update(&ctx, data.data() + at, std::min(step, data.size() - at));
        EXPECT_EQ(DigestHex(MD5Final(&ctx)), whole) << "step " << step;
    }
    // A feed that starts off an aligned address.
    std::string shifted = "x" + data;
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, shifted.data() + 1, data.size());
    EXPECT_EQ(DigestHex(MD5Final(&ctx)), whole);
}

TEST(DigestText, SharedKnownAnswers) {
    kat::Value vectors = kat::Load("digest_text.json");
    ASSERT_EQ(vectors.items.size(), 9u);
    for (const kat::Value& v : vectors.items)
        EXPECT_EQ(TextDigestHex(v["text"].text), v["digest"].text) << v["text"].text;
}

TEST(DigestText, RepeatsTheFirstPieceForEveryFullPiece) {
    // Below 64 characters it is the plain MD5.
    EXPECT_EQ(TextDigestHex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    // From 64 on, every full piece is replaced by the first 64 characters: texts that share
    // their first piece and their tail agree whatever their middle pieces hold.
    std::string first(64, 'A'), tail = "tail";
    std::string one = first + std::string(64, 'B') + tail;
    std::string two = first + std::string(64, 'C') + tail;
    EXPECT_EQ(TextDigestHex(one), TextDigestHex(two));
    EXPECT_EQ(TextDigestHex(one), Md5Hex(first + first + tail));
    EXPECT_NE(TextDigestHex(one), Md5Hex(one));
}

}  // namespace
