// Benchmark of the add by contents and the add by abilities where nothing matches, so the
// command is its search: a text absent from 1 GiB of text in 2,000 files, with match case on
// against `grep -rlF TEXT` and off against `grep -rliF TEXT`; the network ability over 500 MB
// of ".dll" files naming none of the six libraries against `grep -rliF` with the six names.
// Each is timed warm, best of three, alternating with its peer (grep in the C locale, its
// fastest). Also the longest time between two cancel polls while the text is searched for,
// which bounds how late a Cancel is seen. Prints one JSON line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>

#include "app/NoDatabaseView.h"
#include "bench/ForwardingProgress.h"
#include "database/ListView.h"
#include "tests/support/TempPrefix.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr int kTextFiles = 2000;
constexpr size_t kTextFileBytes = 512 * 1024;  // 2,000 of them: 1 GiB
constexpr int kDllFiles = 250;
constexpr size_t kDllFileBytes = 2000 * 1000;  // 250 of them: 500 MB

// Lines of common words; every file differs a little from the others.
std::string TextFile(int index, std::mt19937& random) {
    static const char* const kWords[] = {
        "the",  "of",    "and",     "to",     "in",     "is",      "that",  "for",   "it",
        "with", "as",    "was",     "on",     "be",     "file",    "data",  "check", "record",
        "list", "value", "changed", "backup", "folder", "meeting", "notes", "plan",  "report",
        "Q3",   "total", "invoice", "due",    "Monday", "draft",   "-",     "1024",  "review"};
    std::string text;
    text.reserve(kTextFileBytes + 64);
    text += "File " + std::to_string(index) + "\n";
    std::uniform_int_distribution<size_t> word(0, sizeof kWords / sizeof *kWords - 1);
    size_t line = 0;
    while (text.size() < kTextFileBytes) {
        const char* w = kWords[word(random)];
        text += w;
        line += std::char_traits<char>::length(w) + 1;
        if (line > 70) {
            text += ".\n";
            line = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(kTextFileBytes);
    return text;
}

// Program-like bytes naming other libraries, never one of the six.
std::string DllFile(std::mt19937& random) {
    static const char* const kNames[] = {"kernel32.dll", "USER32.dll", "advapi32.dll",
                                         "msvcrt.dll",   "GDI32.dll",  "ole32.dll"};
    std::string bytes(kDllFileBytes, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& b : bytes) b = char(byte(random));
    for (size_t at = 4096; at + 16 < bytes.size(); at += 8192) {
        const std::string name = kNames[(at / 8192) % 6];
        bytes.replace(at, name.size(), name);
    }
    return bytes;
}

// Seconds of a shell command that ends with `okStatus` (grep: 1 when nothing is found).
double CommandSeconds(const std::string& command, int okStatus) {
    const auto start = Clock::now();
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != okStatus)
        throw std::runtime_error("failed: " + command);
    return Since(start);
}

// The seam with the longest time between two cancel polls of any progress dialog.
class PollTimingUi : public ScriptedUi {
  public:
    Clock::duration longestGap{};
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override {
        return std::make_unique<Window>(*this, ScriptedUi::CreateProgress(templateId));
    }

  private:
    struct Window : ForwardingProgress {
        Window(PollTimingUi& ui, std::unique_ptr<ProgressWindow> inner)
            : ForwardingProgress(std::move(inner)), ui(ui), last(Clock::now()) {}
        bool PollCancel() override {
            const auto now = Clock::now();
            ui.longestGap = std::max(ui.longestGap, now - last);
            last = now;
            return m_inner->PollCancel();
        }
        PollTimingUi& ui;
        Clock::time_point last;
    };
};

struct Bench {
    TempPrefix prefix{"bench password"};
    CCNoflview noDatabase{prefix.frame};
    CListview view{prefix.frame};
    PollTimingUi ui;

    Bench() {
        prefix.SetReg("Config2", "0");
        if (!noDatabase.CreateDatabase("C:\\Bench.db") || !view.OpenDatabase("C:\\Bench.db"))
            throw std::runtime_error("the database could not be made");
        std::mt19937 random(7);
        for (int i = 0; i < kTextFiles; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "E:\\text\\d%02d\\f%04d.txt", i % 40, i);
            prefix.WriteFile(name, TextFile(i, random));
        }
        for (int i = 0; i < kDllFiles; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "E:\\dll\\d%02d\\f%03d.dll", i % 10, i);
            prefix.WriteFile(name, DllFile(random));
        }
        SetUi(&ui);
    }
    ~Bench() { SetUi(&prefix.ui); }

    std::string Host(const std::string& winPath) {
        char* real = realpath(prefix.Host(winPath).c_str(), nullptr);
        const std::string path = real ? real : "";
        std::free(real);
        return path;
    }

    // Seconds of a command that finds nothing to add.
    double CommandSeconds(void (CListview::*command)(), const std::string& answer) {
        ui.AddScriptLine(answer);
        ui.ClearEvents();
        const auto start = Clock::now();
        (view.*command)();
        const double seconds = Since(start);
        if (view.m_foundCount != 0 ||
            ui.Events().back().find("There are no files") == std::string::npos)
            throw std::runtime_error("something was found: " + ui.Events().back());
        return seconds;
    }
};

std::string ContentsAnswer(int matchCase) {
    return "{\"dialog\":\"CAddByContentsDlg\",\"set\":{\"m_critBareText\":\"Quillstead\","
           "\"m_critMatchCase\":" +
           std::to_string(matchCase) + ",\"m_critLocation\":\"E:\\\\text\"}}";
}

const char* const kAbilitiesAnswer =
    "{\"dialog\":\"CAddByAbilitiesDlg\",\"set\":{\"m_critAbilityNetwork\":1,"
    "\"m_critLocation\":\"E:\\\\dll\"}}";

// Best of three of ours and of the peer, alternating, after one warm run of each.
void Measure(Bench& b, void (CListview::*command)(), const std::string& answer,
             const std::string& peer, double& ours, double& theirs) {
    b.CommandSeconds(command, answer);
    CommandSeconds(peer, 1);
    ours = theirs = 1e9;
    for (int i = 0; i < 3; ++i) {
        ours = std::min(ours, b.CommandSeconds(command, answer));
        theirs = std::min(theirs, CommandSeconds(peer, 1));
    }
}

}  // namespace

int main() {
    try {
        Bench b;
        const std::string text = b.Host("E:\\text"), dll = b.Host("E:\\dll");
        double caseOn, grepF, caseOff, grepIF, network, grepSix;
        Measure(b, &CListview::OnAddByContents, ContentsAnswer(1),
                "LC_ALL=C grep -rlF Quillstead " + text, caseOn, grepF);
        b.ui.longestGap = Clock::duration{};
        Measure(b, &CListview::OnAddByContents, ContentsAnswer(0),
                "LC_ALL=C grep -rliF Quillstead " + text, caseOff, grepIF);
        const double gapMs = std::chrono::duration<double, std::milli>(b.ui.longestGap).count();
        Measure(b, &CListview::OnAddByAbilities, kAbilitiesAnswer,
                "LC_ALL=C grep -rliF -e wininet.dll -e WSOCK32.dll -e WINSOCK.DLL -e MSWSOCK.dll "
                "-e WS2THK.DLL -e ws2_32.dll " +
                    dll,
                network, grepSix);
        std::printf(
            "{\"bench\":\"contents_abilities\",\"contents_gib\":1,\"contents_files\":%d,"
            "\"match_case_seconds\":%.3f,\"grep_F_seconds\":%.3f,\"match_case_ratio\":%.3f,"
            "\"ignore_case_seconds\":%.3f,\"grep_iF_seconds\":%.3f,\"ignore_case_ratio\":%.3f,"
            "\"longest_poll_gap_ms\":%.3f,\"abilities_mb\":500,\"abilities_files\":%d,"
            "\"network_seconds\":%.3f,\"grep_iF_six_seconds\":%.3f,\"network_ratio\":%.3f}\n",
            kTextFiles, caseOn, grepF, caseOn / grepF, caseOff, grepIF, caseOff / grepIF, gapMs,
            kDllFiles, network, grepSix, network / grepSix);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contents_abilities_bench: %s\n", e.what());
        return 1;
    }
}
