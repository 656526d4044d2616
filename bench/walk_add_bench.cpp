// Benchmark of the add by attributes with "Any " ticked: 10,000 files of 4 KiB in 200
// folders, each backed up encrypted (mode "N"), walked and added into an empty database,
// against `aide --init` with MD5 only and `hashdeep -r` on the same tree (when installed); the
// pre-scan alone against `find -type f -printf '%s\n'`; the time per file at 200,000 files
// against 10,000, `aide --init` on that tree too, and the peak memory of the process adding
// the 200,000 (a process of its own); and how soon a Cancel pressed in the digest of a 1 GiB
// file is answered by the question after it. Prints one JSON line.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "app/NoDatabaseView.h"
#include "app/Settings.h"
#include "bench/ForwardingProgress.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "tests/support/TempPrefix.h"

namespace {

using Clock = std::chrono::steady_clock;

// The large run: its peak memory and its time per file beside the 10,000 files' run.
constexpr int kLargeRun = 200000;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* const kAnswerAny =
    "{\"dialog\":\"CAddByAttributesDlg\",\"set\":{\"m_critLocation\":\"E:\\\\tree\","
    "\"m_critAttributes\":[0,0,0,0,0,0,0,0,1,0,0,0,0]}}";

// E:\tree\dNNN\fNNNNN.bin: `count` files of 4 KiB in 200 folders.
void MakeTree(TempPrefix& prefix, int count) {
    std::string bytes(4096, '\0');
    for (int i = 0; i < count; ++i) {
        for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = char((k * 31 + size_t(i) * 7) & 0xFF);
        char name[64];
        std::snprintf(name, sizeof name, "E:\\tree\\d%03d\\f%05d.bin", i % 200, i);
        prefix.WriteFile(name, bytes);
    }
}

struct Setup {
    TempPrefix prefix{"bench password"};
    CCNoflview noDatabase{prefix.frame};
    CListview view{prefix.frame};
    explicit Setup(int count) {
        prefix.SetReg("Config2", "0");
        prefix.SetReg("Config5", "1");
        prefix.SetReg("Config17", "N");
        if (!noDatabase.CreateDatabase("C:\\Bench.db") || !view.OpenDatabase("C:\\Bench.db"))
            throw std::runtime_error("the database could not be made");
        MakeTree(prefix, count);
    }
    std::string HostTree() {
        char* real = realpath(prefix.Host("E:\\tree").c_str(), nullptr);
        const std::string dir = real ? real : "";
        std::free(real);
        return dir;
    }
};

// The scripted seam as a window is: each progress dialog holds the texts it shows now, not
// every text it was ever given (the tests' record of them would grow with the files added).
class WindowLikeUi : public ScriptedUi {
  public:
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override {
        return std::make_unique<Window>(ScriptedUi::CreateProgress(templateId));
    }

  private:
    struct Window : ForwardingProgress {
        using ForwardingProgress::ForwardingProgress;
        void SetItemText(int id, const std::string& text) override { texts[id] = text; }
        void SetIcon(int, const Icon&) override {}
        void SetPos(int pos) override { position = pos; }
        std::map<int, std::string> texts;
        int position = 0;
    };
};

double AddSeconds(Setup& s, int count) {
    s.prefix.ui.AddScriptLine(kAnswerAny);
    const auto start = Clock::now();
    s.view.OnAddByAttributes();
    const double seconds = Since(start);
    if (s.view.m_recordCount != count)
        throw std::runtime_error("not every file was added");
    return seconds;
}

// Seconds of a shell command, or -1 when its program is not there or it fails.
double CommandSeconds(const std::string& program, const std::string& command) {
    if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0)
        return -1;
    const auto start = Clock::now();
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        return -1;
    return Since(start);
}

// `aide --init` with MD5 only on the set-up's tree.
double AideSeconds(Setup& s) {
    const std::string conf = s.prefix.root + "/aide.conf";
    std::ofstream(conf) << "database_out=file:" << s.prefix.root << "/aide.db.new\n"
                        << "gzip_dbout=no\n"
                        << s.HostTree() << " md5\n";
    return CommandSeconds("aide", "aide --init -c " + conf);
}

std::string Figure(double value) {
    return value < 0 ? "null" : std::to_string(value);
}

std::string Ratio(double a, double b) {
    return (a < 0 || b <= 0) ? "null" : std::to_string(a / b);
}

// What a child process measures on its tree of `count` files: the add's seconds, its own
// peak memory once the add is done, and `aide --init` on the same tree afterwards.
struct ChildFigures {
    double seconds = -1;
    long peakKb = 0;
    double aideSeconds = -1;
};

ChildFigures AddInChild(int count) {
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        ChildFigures f;
        try {
            Setup setup(count);
            WindowLikeUi ui;
            SetUi(&ui);
            ui.AddScriptLine(kAnswerAny);
            const auto start = Clock::now();
            setup.view.OnAddByAttributes();
            f.seconds = Since(start);
            SetUi(&setup.prefix.ui);
            if (setup.view.m_recordCount != count)
                throw std::runtime_error("not every file was added");
            struct rusage usage {};
            getrusage(RUSAGE_SELF, &usage);
            f.peakKb = usage.ru_maxrss;
            f.aideSeconds = AideSeconds(setup);
        } catch (const std::exception& e) {
            f.seconds = -1;
            std::fprintf(stderr, "walk_add_bench: %s\n", e.what());
        }
        if (write(fds[1], &f, sizeof f) != sizeof f)
            _exit(2);
        _exit(0);
    }
    close(fds[1]);
    ChildFigures f;
    if (read(fds[0], &f, sizeof f) != sizeof f)
        f.seconds = -1;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (f.seconds < 0)
        throw std::runtime_error("the add of " + std::to_string(count) + " files failed");
    return f;
}

// The scripted seam with a Cancel pressed half a second into the adding dialog's polls and
// the moment of the question after it.
class CancelUi : public ScriptedUi {
  public:
    Clock::time_point pressed, answered;
    Clock::duration longestGap{};
    std::unique_ptr<ProgressWindow> CreateProgress(int templateId) override {
        auto inner = ScriptedUi::CreateProgress(templateId);
        if (templateId != 108)
            return inner;
        return std::make_unique<Window>(*this, std::move(inner));
    }
    MbResult MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) override {
        answered = Clock::now();
        return ScriptedUi::MessageBox(text, icon, buttons);
    }

  private:
    struct Window : ForwardingProgress {
        Window(CancelUi& ui, std::unique_ptr<ProgressWindow> inner)
            : ForwardingProgress(std::move(inner)), ui(ui), opened(Clock::now()) {}
        // The longest stretch without a poll tells how late a Cancel can be seen.
        bool PollCancel() override {
            const auto now = Clock::now();
            if (polled)
                ui.longestGap = std::max(ui.longestGap, now - last);
            polled = true;
            last = now;
            if (done || now - opened < std::chrono::milliseconds(500))
                return false;
            done = true;
            ui.pressed = now;
            return true;
        }
        CancelUi& ui;
        Clock::time_point opened, last;
        bool polled = false;
        bool done = false;
    };
};

// The longest time between two polls while a 1 GiB file is read, and from the Cancel seen to
// the question after it (the copy taken back out and what was added stored in between).
void CancelLatencyMs(double& longestGap, double& toQuestion) {
    Setup s(0);
    CancelUi ui;
    SetUi(&ui);
    {
        s.prefix.WriteFile("E:\\tree\\big.bin", "");
        platform::CFile big;
        big.Open("E:\\tree\\big.bin", "wb");
        std::string block(1 << 20, 'g');
        for (int i = 0; i < 1024; ++i) big.Write(block.data(), block.size());
        big.Close();
    }
    ui.AddScriptLine(kAnswerAny);
    s.view.OnAddByAttributes();
    SetUi(&s.prefix.ui);
    if (ui.pressed == Clock::time_point())
        throw std::runtime_error("the cancel was not seen");
    longestGap = std::chrono::duration<double, std::milli>(ui.longestGap).count();
    toQuestion = std::chrono::duration<double, std::milli>(ui.answered - ui.pressed).count();
}

}  // namespace

int main() {
    try {
        const ChildFigures large = AddInChild(kLargeRun);

        double find, aide, hashdeep, prescan, seconds10k;
        {
            Setup s(10000);
            const std::string tree = s.HostTree();
            find = CommandSeconds("find", "find " + tree + " -type f -printf '%s\\n'");
            aide = AideSeconds(s);
            hashdeep = CommandSeconds("hashdeep", "hashdeep -r " + tree);
            const auto prescanStart = Clock::now();
            s.prefix.ui.AddScriptLine(kAnswerAny);
            Settings settings;
            s.view.PrescanAddByAttributes(settings);
            prescan = Since(prescanStart);
            if (s.view.m_foundCount != 10000)
                throw std::runtime_error("the pre-scan did not find every file");
            seconds10k = AddSeconds(s, 10000);
        }
        double longestGap = 0, toQuestion = 0;
        CancelLatencyMs(longestGap, toQuestion);

        std::printf(
            "{\"bench\":\"walk_add\",\"files\":10000,\"seconds\":%.3f,\"aide_init_seconds\":%s,"
            "\"ratio_to_aide\":%s,\"hashdeep_seconds\":%s,\"ratio_to_hashdeep\":%s,"
            "\"prescan_seconds\":%.3f,\"find_seconds\":%s,\"prescan_ratio_to_find\":%s,"
            "\"per_file_us_10000\":%.1f,\"per_file_us_200000\":%.1f,"
            "\"per_file_ratio_200000_to_10000\":%.3f,\"aide_init_seconds_200000\":%s,"
            "\"ratio_to_aide_200000\":%s,\"peak_mb_200000\":%.1f,"
            "\"longest_poll_gap_ms_1gib\":%.3f,\"cancel_to_question_ms_1gib\":%.2f}\n",
            seconds10k, Figure(aide).c_str(), Ratio(seconds10k, aide).c_str(),
            Figure(hashdeep).c_str(), Ratio(seconds10k, hashdeep).c_str(), prescan,
            Figure(find).c_str(), Ratio(prescan, find).c_str(), seconds10k / 10000 * 1e6,
            large.seconds / kLargeRun * 1e6, (large.seconds / kLargeRun) / (seconds10k / 10000),
            Figure(large.aideSeconds).c_str(), Ratio(large.seconds, large.aideSeconds).c_str(),
            large.peakKb / 1024.0, longestGap, toQuestion);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "walk_add_bench: %s\n", e.what());
        return 1;
    }
}
