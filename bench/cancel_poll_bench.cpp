// The cost of the progress dialogs' cancel poll, called per 64-byte block: the wx dialog's
// poll (gui/CancelPoll.h behind the seam's virtual PollCancel) against a virtual call that
// only answers false, measured in the same run. Prints {"bench":"cancel_poll",...}; the aim
// is a few nanoseconds a poll, within a small factor of the bare call.
#include <chrono>
#include <cstdio>
#include <memory>

#include "gui/CancelPoll.h"
#include "platform/Ui.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr long kPolls = 200'000'000;

// The seam's progress window with the dialog's poll, and nothing drawn.
class PollingWindow : public ProgressWindow {
  public:
    explicit PollingWindow(long* pumps) : m_poll([pumps] { ++*pumps; }) {}
    void SetTitle(const std::string&) override {}
    void SetItemText(int, const std::string&) override {}
    void SetIcon(int, const Icon&) override {}
    void SetPos(int) override {}
    bool PollCancel() override { return m_poll.Poll(); }
    void Close() override {}

  private:
    CancelPoll m_poll;
};

// The peer: the same virtual call, answering false at once.
class BareWindow : public PollingWindow {
  public:
    using PollingWindow::PollingWindow;
    bool PollCancel() override { return false; }
};

// Not inlined, and the window reached through a volatile pointer, so the calls stay virtual
// calls as the loops of the program make them.
__attribute__((noinline)) double NanosecondsPerPoll(ProgressWindow* volatile* slot, long& cancels) {
    ProgressWindow& window = **slot;
    const auto t0 = Clock::now();
    for (long i = 0; i < kPolls; ++i) cancels += window.PollCancel();
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / kPolls;
}
}  // namespace

int main() {
    long pumps = 0, cancels = 0;
    std::unique_ptr<ProgressWindow> ours = std::make_unique<PollingWindow>(&pumps);
    std::unique_ptr<ProgressWindow> bare = std::make_unique<BareWindow>(&pumps);
    ProgressWindow* volatile oursSlot = ours.get();
    ProgressWindow* volatile bareSlot = bare.get();
    double oursNs = 1e9, bareNs = 1e9;
    for (int run = 0; run < 3; ++run) {
        oursNs = std::min(oursNs, NanosecondsPerPoll(&oursSlot, cancels));
        bareNs = std::min(bareNs, NanosecondsPerPoll(&bareSlot, cancels));
    }
    std::printf(
        "{\"bench\":\"cancel_poll\",\"polls\":%ld,\"ns_per_poll\":%.3f,\"bare_call_ns\":%.3f,"
        "\"cost_ratio\":%.2f,\"pumps\":%ld,\"cancels\":%ld}\n",
        kPolls, oursNs, bareNs, oursNs / bareNs, pumps, cancels);
    return cancels == 0 ? 0 : 1;
}
