// The bar of the walk-and-add loop: "Adding files." runs from 0 to 65,000, spread over the
// bytes the pre-scan found to add (B). F = 65,000,000 / (B / 64) bar units per 64 bytes,
// times 1000, and K = ceil(10,000 / F) pieces of 64 bytes per step, both kept as floats. A
// run of fewer than 64,000 bytes is small: every piece moves the bar by trunc(F / 1000) and
// takes 64 from the remaining bytes R. A large run moves the bar by 10 every trunc(K) pieces
// and takes trunc(K) x 64 from R. The piece counter runs on from file to file. Each file's
// tail (its bytes after the last whole piece) is taken from R at once and gathered in T;
// after the file at most one further step comes of T: 1 in a large run once T reaches
// trunc(K) x 64, trunc(F / 1000) in a small run once T reaches 64. With B = 0 nothing moves.
#pragma once

#include <cstdint>

class WalkAddProgress {
  public:
    explicit WalkAddProgress(double bytesToAdd);

    bool Moves() const { return m_bytes != 0; }
    bool SmallRun() const { return m_small; }
    float F() const { return m_f; }
    float K() const { return m_k; }
    double Remaining() const { return m_remaining; }

    // One 64-byte piece: the amount the bar moves by now (0 for none).
    int Piece();
    // A file's tail of `bytes` (fewer than 64) after its pieces.
    void Tail(uint64_t bytes);
    // After a file: the amount of the one step its tails may make (0 for none).
    int TailStep();

  private:
    double m_bytes;
    bool m_small;
    float m_f = 0;
    float m_k = 0;
    int64_t m_piecesPerStep = 0;  // trunc(K)
    int m_smallStep = 0;          // trunc(F / 1000)
    int64_t m_pieces = 0;         // c
    uint64_t m_tails = 0;         // T
    double m_remaining;           // R
};
