// The key derivation, the initialisation vectors of texts, and the CBC chaining over
// AES-256 blocks (NIST SP 800-38A known answers, piecewise processing).
#include <gtest/gtest.h>

#include "storage/Crypto.h"
#include "tests/storage/JsonVectors.h"
#include "tests/storage/StorageHelpers.h"

namespace {

template <size_t N>
std::string Hex(const std::array<uint8_t, N>& a) {
    return kat::ToHex(std::string(reinterpret_cast<const char*>(a.data()), N));
}

std::string Cbc(const Key& key, const Iv& iv, bool encrypt, std::string data) {
    CbcCipher cipher(key, iv, encrypt);
    cipher.Process(reinterpret_cast<uint8_t*>(&data[0]), data.size());
    return data;
}

const char kNistKey[] = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char kNistPlain[] =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";

TEST(DeriveKey, SharedKnownAnswers) {
    // 600,000 rounds each: every password is derived once.
    kat::Value vectors = kat::Load("kdf.json");
    ASSERT_EQ(vectors.items.size(), 3u);
    for (const kat::Value& v : vectors.items)
        EXPECT_EQ(Hex(DeriveKey(v["password"].text)), v["key"].text) << v["password"].text;
}

TEST(IvFromText, FirstEightDigestBytesTwice) {
    kat::Value vectors = kat::Load("digest_text.json");
    for (const kat::Value& v : vectors.items)
        EXPECT_EQ(Hex(IvFromText(v["text"].text)), v["iv"].text) << v["text"].text;
}

TEST(CbcCipher, NistAes256SingleBlocks) {
    // F.1.5: each block alone is the block cipher itself (a chain of zero bytes).
    const Key key = Bytes<32>(kNistKey);
    const std::string plain = kat::FromHex(kNistPlain);
    const char* expected[] = {
        "f3eed1bdb5d2a03c064b5a7e3db181f8", "591ccb10d410ed26dc5ba74a31362870",
        "b6ed21b99ca6f4f9f153e7b1beafed1d", "23304b7a39f9f3ff067d8d8f9e24ecc7"};
    for (int i = 0; i < 4; ++i) {
        std::string block = plain.substr(size_t(16 * i), 16);
        std::string cipher = Cbc(key, Iv{}, true, block);
        EXPECT_EQ(kat::ToHex(cipher), expected[i]);
        EXPECT_EQ(Cbc(key, Iv{}, false, cipher), block);
    }
}

TEST(CbcCipher, NistAes256Chaining) {
    // F.2.5 and F.2.6.
    const Key key = Bytes<32>(kNistKey);
    const Iv iv = Bytes<16>("000102030405060708090a0b0c0d0e0f");
    const std::string expected =
        "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
        "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b";
    EXPECT_EQ(kat::ToHex(Cbc(key, iv, true, kat::FromHex(kNistPlain))), expected);
    EXPECT_EQ(kat::ToHex(Cbc(key, iv, false, kat::FromHex(expected))), kNistPlain);
}

TEST(CbcCipher, PiecewiseEqualsWholeAcrossLongRuns) {
    const Key key = Bytes<32>(kNistKey);
    const Iv iv = Bytes<16>("f0e0d0c0b0a090807060504030201000");
    std::string plain;
    for (int i = 0; i < 16 * 1000; ++i) plain += static_cast<char>((i * 131 + 7) & 0xFF);

    const std::string whole = Cbc(key, iv, true, plain);
    for (bool encrypt : {true, false}) {
        std::string data = encrypt ? plain : whole;
        CbcCipher cipher(key, iv, encrypt);
        size_t pieces[] = {16, 48, 4096, 4112, 32, 8192};
        size_t at = 0;
        for (size_t k = 0; at < data.size(); ++k) {
            size_t n = std::min(pieces[k % 6], data.size() - at);
            cipher.Process(reinterpret_cast<uint8_t*>(&data[at]), n);
            at += n;
        }
        EXPECT_EQ(data, encrypt ? whole : plain) << (encrypt ? "encrypt" : "decrypt");
    }
}

}  // namespace
