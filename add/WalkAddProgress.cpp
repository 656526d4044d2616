// The walk-and-add loop's bar.
#include "add/WalkAddProgress.h"

#include <cmath>
#include <limits>

namespace {

// trunc of a float into the range of the counter it is compared with.
int64_t Trunc64(float value) {
    if (!(value > 0))
        return 0;
    if (value >= 9.0e18f)
        return std::numeric_limits<int64_t>::max();
    return int64_t(value);
}

}  // namespace

WalkAddProgress::WalkAddProgress(double bytesToAdd)
    : m_bytes(bytesToAdd), m_small(bytesToAdd < 64000), m_remaining(bytesToAdd) {
    if (m_bytes <= 0)
        return;
    m_f = float(65000000.0 / (m_bytes / 64));
    m_k = std::ceil(10000.0f / m_f);
    m_piecesPerStep = Trunc64(m_k);
    const int64_t step = Trunc64(m_f / 1000);
    m_smallStep =
        step > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(step);
}

int WalkAddProgress::Piece() {
    if (!Moves())
        return 0;
    ++m_pieces;
    if (m_small) {
        m_pieces = 0;
        m_remaining -= 64;
        return m_smallStep;
    }
    if (m_pieces != m_piecesPerStep)
        return 0;
    m_pieces = 0;
    m_remaining -= double(m_piecesPerStep) * 64;
    return 10;
}

void WalkAddProgress::Tail(uint64_t bytes) {
    m_tails += bytes;
    if (Moves())
        m_remaining -= double(bytes);
}

int WalkAddProgress::TailStep() {
    if (!Moves())
        return 0;
    const uint64_t threshold = m_small ? 64 : uint64_t(m_piecesPerStep) * 64;
    if (m_tails < threshold)
        return 0;
    m_tails -= threshold;
    return m_small ? m_smallStep : 1;
}
