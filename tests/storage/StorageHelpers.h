// Small helpers shared by the storage tests: line texts written with '|' for the 0x7F field
// separator, FILETIMEs from their halves, fixed-size byte arrays from hex, the MD5 of bytes,
// and the check that a call raises the file exception with a given cause and file name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/FileException.h"
#include "platform/WinTypes.h"
#include "storage/Md5.h"
#include "tests/storage/JsonVectors.h"

// The text with every '|' made the field separator 0x7F ("a|b|" -> "a\x7f" "b\x7f").
inline std::string Seps(std::string text) {
    std::replace(text.begin(), text.end(), '|', '\x7f');
    return text;
}

inline FILETIME Time(uint32_t high, uint32_t low) {
    FILETIME t;
    t.dwHighDateTime = high;
    t.dwLowDateTime = low;
    return t;
}

template <size_t N>
std::array<uint8_t, N> Bytes(const std::string& hex) {
    const std::string b = kat::FromHex(hex);
    std::array<uint8_t, N> out{};
    EXPECT_EQ(b.size(), N) << hex;
    std::memcpy(out.data(), b.data(), std::min(N, b.size()));
    return out;
}

inline std::string Md5Hex(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

// Whether `call` raises the file exception naming `fileName` (and, when `cause` is not
// negative, with that cause). Use as EXPECT_TRUE(RaisesFileException(...)).
template <class Call>
::testing::AssertionResult RaisesFileException(Call&& call, int cause,
                                               const std::string& fileName) {
    try {
        call();
    } catch (const CFileException& e) {
        if (cause >= 0 && e.m_cause != cause)
            return ::testing::AssertionFailure() << "cause " << e.m_cause << ", not " << cause;
        if (e.m_strFileName != fileName)
            return ::testing::AssertionFailure()
                   << "file \"" << e.m_strFileName << "\", not \"" << fileName << "\"";
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no exception";
}
