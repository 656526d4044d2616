// Encrypting and decrypting a 256 MiB protected file against `openssl enc -aes-256-cbc
// -nopad` on the same data, in the same run. Prints one JSON line with both time ratios
// (ours / openssl: below 1 is faster than the peer).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "storage/Crypto.h"
#include "storage/ProtectedFile.h"
#include "tests/support/TempPrefix.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr size_t kSize = size_t(256) << 20;

std::string Hex(const uint8_t* p, size_t n) {
    static const char* d = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += d[p[i] >> 4];
        s += d[p[i] & 15];
    }
    return s;
}

template <class F>
double Best(F f) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto t0 = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

bool SameFile(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}
}  // namespace

int main() {
    TempPrefix prefix;
    const Key& key = prefix.frame.Store().FileKey();
    const Iv iv = IvFromText("bench");
    const std::string plainWin = "E:\\plain.bin", protWin = "E:\\plain.qp",
                      backWin = "E:\\back.bin";
    const std::string plain = prefix.Host(plainWin), prot = prefix.Host(protWin);
    {
        std::ofstream out(plain, std::ios::binary);
        std::mt19937_64 rng(7);
        std::string block(1 << 20, '\0');
        for (size_t done = 0; done < kSize; done += block.size()) {
            for (size_t i = 0; i < block.size(); ++i) block[i] = char(rng());
            out.write(block.data(), std::streamsize(block.size()));
        }
    }
    const std::string opensslArgs =
        " -aes-256-cbc -nopad -K " + Hex(key.data(), 32) + " -iv " + Hex(iv.data(), 16);
    const std::string peerProt = prefix.root + "/peer.enc", peerBack = prefix.root + "/peer.dec";

    double encOurs = Best([&] { EncryptFileWithIv(key, protWin, plainWin, iv); });
    double encPeer = Best([&] {
        std::system(
            ("openssl enc -e" + opensslArgs + " -in '" + plain + "' -out '" + peerProt + "'")
                .c_str());
    });
    double decOurs =
        Best([&] { DecryptFileWithIvToLength(key, protWin, backWin, iv, double(kSize)); });
    double decPeer = Best([&] {
        std::system(
            ("openssl enc -d" + opensslArgs + " -in '" + peerProt + "' -out '" + peerBack + "'")
                .c_str());
    });
    const bool same = SameFile(prot, peerProt) && SameFile(prefix.Host(backWin), plain);
    std::printf(
        "{\"bench\":\"protected-file\",\"bytes\":%zu,\"encrypt_s\":%.3f,\"openssl_encrypt_s\":%.3f,"
        "\"encrypt_ratio\":%.3f,\"decrypt_s\":%.3f,\"openssl_decrypt_s\":%.3f,\"decrypt_ratio\":%."
        "3f,"
        "\"same_bytes\":%s}\n",
        kSize, encOurs, encPeer, encOurs / encPeer, decOurs, decPeer, decOurs / decPeer,
        same ? "true" : "false");
    return same ? 0 : 1;
}
