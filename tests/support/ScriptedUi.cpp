// The scripted user-interface seam: every event becomes the JSON line the driver prints,
// and the modal events take their answers from the script lines, each kind in its order.
#include "tests/support/ScriptedUi.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "platform/Dialog.h"
#include "platform/FileException.h"

struct ScriptedUi::Answer {
    std::string kind;       // "messagebox", "dialog", "cancel_at_poll", "clipboard"
    std::string text;       // the message box answer, or the dialog's class
    JsonValue set;          // the dialog's members to set (an object, or null)
    bool cancel = false;    // the dialog is closed with Cancel
    long poll = 0;          // cancel_at_poll
    bool hasFiles = false;  // clipboard: a list (possibly empty) rather than null
    std::vector<std::string> files;
};

namespace {

// The names of the event lines, in the order of the enums.
const char* const kIconNames[] = {"none", "information", "exclamation", "stop", "question"};
const char* const kButtonsNames[] = {"ok", "okcancel", "yesno", "yesnocancel"};
const char* const kResultNames[] = {"ok", "cancel", "yes", "no"};

// The index of an answer's name in kResultNames; its size for a name no box answers.
size_t ResultIndex(const std::string& name) {
    return std::find(std::begin(kResultNames), std::end(kResultNames), name) -
           std::begin(kResultNames);
}

bool Offers(MbButtons buttons, MbResult result) {
    switch (buttons) {
        case MbButtons::Ok:
            return result == MbResult::Ok;
        case MbButtons::OkCancel:
            return result == MbResult::Ok || result == MbResult::Cancel;
        case MbButtons::YesNo:
            return result == MbResult::Yes || result == MbResult::No;
        case MbButtons::YesNoCancel:
            return result != MbResult::Ok;
    }
    return false;
}

// An array member is exchanged item by item, as "name[0]", "name[1]", ...: the array's name
// and the item's index; false for a plain member.
bool ArrayItem(const char* member, std::string& name, size_t& index) {
    const std::string m = member;
    const size_t open = m.find('[');
    if (open == std::string::npos || open == 0 || m.back() != ']' || open + 2 >= m.size())
        return false;
    for (size_t i = open + 1; i + 1 < m.size(); ++i)
        if (m[i] < '0' || m[i] > '9')
            return false;
    name = m.substr(0, open);
    index = size_t(std::stoul(m.substr(open + 1, m.size() - open - 2)));
    return true;
}

// Collects the members as they stand, in the order of the data exchange; the items of an
// array member make one array.
class MemberReader : public DataExchange {
  public:
    MemberReader() : DataExchange(false) {}
    void Text(int, const char* member, std::string& value) override {
        Add(member, JsonString(value));
    }
    void Int(int, const char* member, int& value) override { Add(member, std::to_string(value)); }
    void Strings(int, const char* member, std::vector<std::string>& rows) override {
        std::string json = "[";
        for (size_t i = 0; i < rows.size(); ++i) json += (i ? "," : "") + JsonString(rows[i]);
        Add(member, json + "]");
    }
    std::string Json() const {
        std::string out;
        for (const Member& m : m_members)
            out += (out.empty() ? "{" : ",") + JsonString(m.name) + ":" + m.json;
        return (out.empty() ? "{" : out) + "}";
    }

  private:
    struct Member {
        std::string name, json;
        bool array;
        size_t items;
    };
    void Add(const char* member, const std::string& json) {
        std::string name = member;
        size_t index = 0;
        const bool item = ArrayItem(member, name, index);
        for (Member& m : m_members) {
            if (m.name != name)
                continue;
            // A member exchanged twice is shown once; an array's items join it in order.
            if (item && m.array && m.items == index) {
                m.json.insert(m.json.size() - 1, "," + json);
                ++m.items;
            }
            return;
        }
        if (!item || index == 0)
            m_members.push_back({name, item ? "[" + json + "]" : json, item, 1});
    }
    std::vector<Member> m_members;
};

// Puts the script's values into the members it names; every name must be a member.
class MemberWriter : public DataExchange {
  public:
    MemberWriter(const JsonValue& set, const std::string& dialogClass)
        : DataExchange(true), m_set(set), m_class(dialogClass) {}
    void Text(int, const char* member, std::string& value) override {
        if (const JsonValue* v = Take(member)) {
            if (!v->IsString())
                throw std::invalid_argument(m_class + "." + member + " takes a text");
            value = v->text;
        }
    }
    void Int(int, const char* member, int& value) override {
        std::string name;
        size_t index = 0;
        if (ArrayItem(member, name, index)) {
            const JsonValue* array = Take(name.c_str());
            if (!array)
                return;
            ++m_items[name];
            if (!array->IsArray() || index >= array->items.size())
                throw std::invalid_argument(m_class + "." + name + " takes an array of " +
                                            "whole numbers, one for each of its items");
            value = WholeNumber(array->items[index], name);
            return;
        }
        if (const JsonValue* v = Take(member))
            value = WholeNumber(*v, member);
    }
    void Strings(int, const char* member, std::vector<std::string>&) override {
        if (m_set.Find(member))
            throw std::invalid_argument(m_class + "." + member +
                                        " is a list the user cannot change");
    }
    void CheckAllUsed() const {
        for (const auto& m : m_set.members)
            if (m_used.count(m.first) == 0)
                throw std::invalid_argument(m_class + " has no member " + m.first);
        for (const auto& [name, count] : m_items)
            if (m_set.Find(name)->items.size() != count)
                throw std::invalid_argument(m_class + "." + name + " takes " +
                                            std::to_string(count) + " whole numbers");
    }

  private:
    const JsonValue* Take(const char* member) {
        const JsonValue* v = m_set.Find(member);
        if (v)
            m_used.insert({member, true});
        return v;
    }
    int WholeNumber(const JsonValue& v, const std::string& member) const {
        if (!v.IsNumber() || std::floor(v.number) != v.number)
            throw std::invalid_argument(m_class + "." + member + " takes a whole number");
        return static_cast<int>(v.number);
    }
    const JsonValue& m_set;
    std::string m_class;
    std::map<std::string, bool> m_used;
    std::map<std::string, size_t> m_items;  // array members: the items exchanged
};

}  // namespace

// A progress dialog as the script sees it: it records what it shows and reports Cancel at
// the poll the script named.
class ScriptedUi::Progress : public ProgressWindow {
  public:
    Progress(ScriptedUi& ui, const std::string& className, long cancelAtPoll)
        : m_ui(ui), m_cancelAtPoll(cancelAtPoll), m_record(ui.progressDialogs.size()) {
        m_ui.progressDialogs.push_back(ProgressRecord{className, {}, {}, 0});
        m_ui.progressTitle.clear();
        m_ui.progressTexts.clear();
        m_ui.progressPos = 0;
        m_ui.progressPolls = 0;
        m_ui.progressPositions.clear();
        m_ui.progressTextsShown.clear();
        m_ui.progressOpen = true;
    }
    ~Progress() override { Close(); }

    void SetTitle(const std::string& title) override {
        if (!m_open)
            return;
        m_ui.progressTitle = title;
        m_ui.progressDialogs[m_record].title = title;
        if (!m_titled) {
            m_titled = true;
            m_ui.Emit("{\"event\":\"progress\",\"caption\":" + JsonString(title) + "}");
        }
    }
    void SetItemText(int id, const std::string& text) override {
        if (!m_open)
            return;
        m_ui.progressTexts[id] = text;
        m_ui.progressTextsShown[id].push_back(text);
        m_ui.progressDialogs[m_record].texts[id].push_back(text);
    }
    void SetIcon(int, const Icon&) override {}
    void SetPos(int pos) override {
        if (!m_open)
            return;
        m_ui.progressPos = pos;
        m_ui.progressPositions.push_back(pos);
    }
    bool PollCancel() override {
        if (!m_open)
            return false;
        ++m_polls;
        m_ui.progressPolls = m_polls;
        m_ui.progressDialogs[m_record].polls = m_polls;
        if (m_ui.onPoll)
            m_ui.onPoll(m_polls);
        return m_cancelAtPoll > 0 && m_polls == m_cancelAtPoll;
    }
    void Close() override {
        if (!m_open)
            return;
        m_open = false;
        m_ui.progressOpen = false;
    }

  private:
    ScriptedUi& m_ui;
    long m_cancelAtPoll;
    size_t m_record;  // its entry in progressDialogs
    long m_polls = 0;
    bool m_titled = false;
    bool m_open = true;
};

ScriptedUi::ScriptedUi() : m_answers(new std::deque<Answer>) {}

ScriptedUi::~ScriptedUi() {
    delete m_answers;
}

void ScriptedUi::AddScriptLine(const std::string& jsonLine) {
    const JsonValue line = ParseJson(jsonLine);
    if (!line.IsObject())
        throw std::invalid_argument("a script line must be an object");
    Answer a;
    if (const JsonValue* mb = line.Find("messagebox")) {
        a.kind = "messagebox";
        if (!mb->IsString() || ResultIndex(mb->text) == std::size(kResultNames))
            throw std::invalid_argument("messagebox takes \"ok\", \"cancel\", \"yes\" or \"no\"");
        a.text = mb->text;
    } else if (const JsonValue* dlg = line.Find("dialog")) {
        a.kind = "dialog";
        if (!dlg->IsString())
            throw std::invalid_argument("dialog takes a class name");
        a.text = dlg->text;
        if (const JsonValue* set = line.Find("set")) {
            if (!set->IsObject())
                throw std::invalid_argument("set takes an object");
            a.set = *set;
        }
        if (const JsonValue* result = line.Find("result")) {
            if (!result->IsString() || (result->text != "ok" && result->text != "cancel"))
                throw std::invalid_argument("result takes \"ok\" or \"cancel\"");
            a.cancel = result->text == "cancel";
        }
    } else if (const JsonValue* poll = line.Find("cancel_at_poll")) {
        a.kind = "cancel_at_poll";
        if (!poll->IsNumber() || poll->number < 1 || std::floor(poll->number) != poll->number)
            throw std::invalid_argument("cancel_at_poll takes a number from 1");
        a.poll = static_cast<long>(poll->number);
        if (const JsonValue* progress = line.Find("progress")) {
            if (!progress->IsString() || progress->text.empty())
                throw std::invalid_argument("progress takes a progress dialog's class name");
            a.text = progress->text;
        }
    } else if (const JsonValue* clip = line.Find("clipboard")) {
        a.kind = "clipboard";
        if (clip->IsArray()) {
            a.hasFiles = true;
            for (const JsonValue& f : clip->items) {
                if (!f.IsString())
                    throw std::invalid_argument("clipboard takes texts");
                a.files.push_back(f.text);
            }
        } else if (!clip->IsNull()) {
            throw std::invalid_argument("clipboard takes a list of texts or null");
        }
    } else {
        throw std::invalid_argument("unknown script line: " + jsonLine);
    }
    m_answers->push_back(std::move(a));
}

void ScriptedUi::LoadScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("cannot read the script " + path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        AddScriptLine(line);
    }
}

bool ScriptedUi::TakeAnswer(const std::string& kind, const std::string& dialogClass,
                            Answer& answer) {
    for (auto it = m_answers->begin(); it != m_answers->end(); ++it) {
        if (it->kind != kind)
            continue;
        if (kind == "dialog" && it->text != dialogClass)
            continue;
        // A cancel line that names its progress dialog waits for that one.
        if (kind == "cancel_at_poll" && !it->text.empty() && it->text != dialogClass)
            continue;
        answer = std::move(*it);
        m_answers->erase(it);
        return true;
    }
    return false;
}

void ScriptedUi::Emit(const std::string& jsonLine) {
    m_events.push_back(jsonLine);
    if (onEvent)
        onEvent(jsonLine);
}

MbResult ScriptedUi::MessageBox(const std::string& text, MbIcon icon, MbButtons buttons) {
    MbResult result = (buttons == MbButtons::YesNo || buttons == MbButtons::YesNoCancel)
                          ? MbResult::Yes
                          : MbResult::Ok;
    Answer a;
    const char* const buttonsName = kButtonsNames[int(buttons)];
    if (TakeAnswer("messagebox", "", a)) {
        result = MbResult(ResultIndex(a.text));
        if (!Offers(buttons, result))
            throw std::logic_error(std::string("the script answers \"") + a.text +
                                   "\" to a message box with the buttons " + buttonsName + ": " +
                                   text);
    }
    Emit("{\"event\":\"messagebox\",\"text\":" + JsonString(text) + ",\"icon\":\"" +
         kIconNames[int(icon)] + "\",\"buttons\":\"" + buttonsName + "\",\"answer\":\"" +
         kResultNames[int(result)] + "\"}");
    return result;
}

int ScriptedUi::RunModal(CDialog& dialog) {
    const std::string cls = dialog.ClassName();
    Answer a;
    const bool answered = TakeAnswer("dialog", cls, a);
    MemberReader reader;
    dialog.DoDataExchange(reader);
    // Unanswered, the same dialog shown again as it was (a refused choice) is cancelled, so
    // a script without an answer for it cannot make it come back forever.
    const std::string members = reader.Json();
    if (!answered) {
        a.cancel = m_lastUnanswered == &dialog && m_lastUnansweredMembers == members;
        m_lastUnanswered = &dialog;
        m_lastUnansweredMembers = members;
    } else {
        m_lastUnanswered = nullptr;
    }
    Emit("{\"event\":\"dialog\",\"class\":" + JsonString(cls) + ",\"members\":" + members +
         ",\"result\":\"" + (a.cancel ? "cancel" : "ok") + "\"}");
    // Cancel leaves the members as they were filled: only OK takes the controls' values.
    if (answered && !a.cancel && a.set.IsObject()) {
        MemberWriter writer(a.set, cls);
        dialog.DoDataExchange(writer);
        writer.CheckAllUsed();
    }
    if (onDialog)
        onDialog(dialog);
    return a.cancel ? IDCANCEL : IDOK;
}

namespace {

// The class name the script gives a progress dialog of a template.
std::string ProgressClassName(int templateId) {
    switch (templateId) {
        case 102:
            return "CCheckProgressDlg";
        case 108:
            return "CAddProgressDlg";
        case 110:
            return "CSearchProgressDlg";
    }
    return "progress " + std::to_string(templateId);
}

}  // namespace

std::unique_ptr<ProgressWindow> ScriptedUi::CreateProgress(int templateId) {
    const std::string cls = ProgressClassName(templateId);
    Answer a;
    const long cancelAt = TakeAnswer("cancel_at_poll", cls, a) ? a.poll : 0;
    return std::make_unique<Progress>(*this, cls, cancelAt);
}

void ScriptedUi::StatusProgressBegin(const std::string& caption, int total, COLORREF, bool) {
    statusText = caption;
    statusProgressActive = true;
    statusProgressTotal = total;
    statusProgressSteps = 0;
    Emit("{\"event\":\"progress\",\"caption\":" + JsonString(caption) + "}");
}

void ScriptedUi::StatusProgressStep() {
    if (statusProgressActive)
        ++statusProgressSteps;
}

void ScriptedUi::StatusProgressEnd() {
    statusProgressActive = false;
}

void ScriptedUi::SetStatusText(const std::string& text) {
    statusText = text;
    Emit("{\"event\":\"status\",\"text\":" + JsonString(text) + "}");
}

void ScriptedUi::PlaySoundResource(const std::string& name) {
    Emit("{\"event\":\"sound\",\"resource\":" + JsonString(name) + "}");
}

void ScriptedUi::PlaySoundFile(const std::string& winPath) {
    Emit("{\"event\":\"sound\",\"file\":" + JsonString(winPath) + "}");
}

IUserInterface::ClipboardState ScriptedUi::GetClipboardFiles(std::vector<std::string>& files) {
    files.clear();
    Answer a;
    if (!TakeAnswer("clipboard", "", a) || !a.hasFiles || a.files.empty())
        return ClipboardState::NoFiles;
    files = a.files;
    return ClipboardState::Files;
}

void ScriptedUi::ShowHelp(const std::string& helpText) {
    Emit("{\"event\":\"help\",\"text\":" + JsonString(helpText) + "}");
}

void ScriptedUi::ReportFileException(const CFileException& e) {
    Emit("{\"event\":\"framework-report\",\"cause\":" + std::to_string(e.m_cause) + ",\"file\":" +
         JsonString(e.m_strFileName) + ",\"text\":" + JsonString(FrameworkFileErrorText(e)) + "}");
}

void ScriptedUi::SetTimer(int id, unsigned milliseconds, std::function<void()> tick) {
    timers[id] = Timer{milliseconds, std::move(tick)};
}

void ScriptedUi::KillTimer(int id) {
    timers.erase(id);
}

bool ScriptedUi::Tick(int id) {
    const auto it = timers.find(id);
    if (it == timers.end())
        return false;
    // The tick may kill or set its own timer: it runs from a copy.
    const std::function<void()> tick = it->second.tick;
    tick();
    return true;
}

void ScriptedUi::SetPaneText(int pane, const std::string& text) {
    paneTexts[pane] = text;
}

void ScriptedUi::CloseMainWindow() {
    Emit("{\"event\":\"close-main-window\"}");
    if (onCloseMainWindow)
        onCloseMainWindow();
}
