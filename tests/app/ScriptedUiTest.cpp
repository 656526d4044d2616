// The scripted seam the tests and the driver use: the exact event lines and the answers
// taken from the script. Also the JSON reader and writer behind them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Dialog.h"
#include "platform/FileException.h"
#include "tests/support/Json.h"
#include "tests/support/ScriptedUi.h"

namespace {

TEST(Json, StringsCarryEveryByte) {
    EXPECT_EQ(JsonString("C:\\a \"b\"\n\r\t"), R"("C:\\a \"b\"\n\r\t")");
    EXPECT_EQ(JsonString(std::string("\x00\x01\x1f\x7f\x80\xe9\xff", 7)),
              R"("\u0000\u0001\u001f\u007f\u0080\u00e9\u00ff")");
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ParseJson(JsonString(all)).text, all);
}

TEST(Json, ReadsScriptLines) {
    const JsonValue v =
        ParseJson(R"( {"a":[1,-2.5,true,false,null],"b":{"c":"x\u00e9\/"},"d":"\u00C3"} )");
    ASSERT_TRUE(v.IsObject());
    const JsonValue* a = v.Find("a");
    ASSERT_TRUE(a && a->IsArray());
    ASSERT_EQ(a->items.size(), 5u);
    EXPECT_EQ(a->items[1].number, -2.5);
    EXPECT_TRUE(a->items[2].boolean);
    EXPECT_TRUE(a->items[4].IsNull());
    EXPECT_EQ(v.Find("b")->Find("c")->text, "x\xe9/");
    EXPECT_EQ(v.Find("d")->text, "\xc3");
    EXPECT_EQ(v.Find("zz"), nullptr);
    // UTF-8 of a code point up to U+00FF is that byte; a lone Latin-1 byte is itself.
    EXPECT_EQ(ParseJson("\"\xc3\xa9\"").text, "\xe9");
    EXPECT_EQ(ParseJson("\"\xe9\"").text, "\xe9");
}

TEST(Json, RefusesWhatItCannotRead) {
    for (const char* bad : {"", "{", "{\"a\"}", "[1,]", "\"abc", "{\"a\":1} x", "\"\\u0100\"",
                            "\"\\q\"", "tru", "\"\xe2\x82\xac\""})
        EXPECT_THROW(ParseJson(bad), std::invalid_argument) << bad;
}

TEST(ScriptedUi, MessageBoxesTakeTheDefaultButtonOrTheScriptsAnswer) {
    ScriptedUi ui;
    EXPECT_EQ(ui.MessageBox("a", MbIcon::Information, MbButtons::Ok), MbResult::Ok);
    EXPECT_EQ(ui.MessageBox("b", MbIcon::Question, MbButtons::YesNo), MbResult::Yes);
    EXPECT_EQ(ui.MessageBox("c", MbIcon::Exclamation, MbButtons::OkCancel), MbResult::Ok);
    EXPECT_EQ(ui.MessageBox("d", MbIcon::None, MbButtons::YesNoCancel), MbResult::Yes);
    ui.AddScriptLine(R"({"messagebox":"no"})");
    ui.AddScriptLine(R"({"messagebox":"cancel"})");
    EXPECT_EQ(ui.MessageBox("e\nf", MbIcon::Stop, MbButtons::YesNo), MbResult::No);
    EXPECT_EQ(ui.MessageBox("g", MbIcon::Stop, MbButtons::OkCancel), MbResult::Cancel);
    const std::vector<std::string> expected = {
        R"({"event":"messagebox","text":"a","icon":"information","buttons":"ok","answer":"ok"})",
        R"({"event":"messagebox","text":"b","icon":"question","buttons":"yesno","answer":"yes"})",
        R"({"event":"messagebox","text":"c","icon":"exclamation","buttons":"okcancel","answer":"ok"})",
        R"({"event":"messagebox","text":"d","icon":"none","buttons":"yesnocancel","answer":"yes"})",
        R"({"event":"messagebox","text":"e\nf","icon":"stop","buttons":"yesno","answer":"no"})",
        R"({"event":"messagebox","text":"g","icon":"stop","buttons":"okcancel","answer":"cancel"})",
    };
    EXPECT_EQ(ui.Events(), expected);
}

TEST(ScriptedUi, AnAnswerTheBoxDoesNotOfferIsAScriptError) {
    ScriptedUi ui;
    ui.AddScriptLine(R"({"messagebox":"yes"})");
    EXPECT_THROW(ui.MessageBox("x", MbIcon::Information, MbButtons::Ok), std::logic_error);
}

class SampleDlg : public CDialog {
  public:
    SampleDlg() : CDialog(500) {}
    const char* ClassName() const override { return "CSampleDlg"; }
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(1001, "m_path", m_path);
        dx.Int(1002, "m_choice", m_choice);
        dx.Int(1003, "m_choice", m_choice);  // a radio group exchanged twice
        dx.Text(1004, "m_note", m_note);
    }
    std::string m_path = "E:\\a \x7f.txt";
    int m_choice = -1;
    std::string m_note;
};

TEST(ScriptedUi, DialogShowsItsMembersThenTakesTheScriptsValues) {
    ScriptedUi ui;
    ui.AddScriptLine(R"({"dialog":"COtherDlg","result":"cancel"})");
    ui.AddScriptLine(R"({"dialog":"CSampleDlg","set":{"m_choice":3,"m_note":"\u00e9"}})");
    SampleDlg dlg;
    int seenChoice = 0;
    ui.onDialog = [&](CDialog& d) { seenChoice = static_cast<SampleDlg&>(d).m_choice; };
    EXPECT_EQ(ui.RunModal(dlg), IDOK);
    EXPECT_EQ(dlg.m_choice, 3);
    EXPECT_EQ(seenChoice, 3);
    EXPECT_EQ(dlg.m_note, "\xe9");
    EXPECT_EQ(dlg.m_path, "E:\\a \x7f.txt");
    ASSERT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(ui.Events()[0],
              R"({"event":"dialog","class":"CSampleDlg","members":{"m_path":"E:\\a \u007f.txt",)"
              R"("m_choice":-1,"m_note":""},"result":"ok"})");

    // No answer left for this class: OK, members as filled.
    SampleDlg again;
    EXPECT_EQ(ui.RunModal(again), IDOK);
    EXPECT_EQ(again.m_choice, -1);
}

TEST(ScriptedUi, DialogCancelAndScriptMistakes) {
    ScriptedUi ui;
    ui.AddScriptLine(R"({"dialog":"CSampleDlg","set":{"m_choice":2},"result":"cancel"})");
    SampleDlg dlg;
    EXPECT_EQ(ui.RunModal(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_choice, -1);
    EXPECT_NE(ui.Events()[0].find(R"("result":"cancel"})"), std::string::npos);

    ui.AddScriptLine(R"({"dialog":"CSampleDlg","set":{"m_nothing":1}})");
    EXPECT_THROW(ui.RunModal(dlg), std::invalid_argument);
    ui.AddScriptLine(R"({"dialog":"CSampleDlg","set":{"m_choice":"1"}})");
    EXPECT_THROW(ui.RunModal(dlg), std::invalid_argument);

    for (const char* bad :
         {R"({"messagebox":"maybe"})", R"({"cancel_at_poll":0})", R"({"clipboard":"E:\\a"})",
          R"({"nothing":1})", R"([1])", R"({"dialog":"X","result":"later"})"})
        EXPECT_THROW(ui.AddScriptLine(bad), std::invalid_argument) << bad;
}

TEST(ScriptedUi, ClipboardSoundsHelpStatusAndReports) {
    ScriptedUi ui;
    std::vector<std::string> printed;
    ui.onEvent = [&](const std::string& line) { printed.push_back(line); };
    ui.AddScriptLine(R"({"clipboard":["E:\\a.txt","E:\\b c.txt"]})");
    ui.AddScriptLine(R"({"clipboard":null})");
    ui.AddScriptLine(R"({"clipboard":[]})");
    std::vector<std::string> files{"stale"};
    EXPECT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::Files);
    EXPECT_EQ(files, (std::vector<std::string>{"E:\\a.txt", "E:\\b c.txt"}));
    EXPECT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::NoFiles);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::NoFiles);
    EXPECT_EQ(ui.GetClipboardFiles(files), IUserInterface::ClipboardState::NoFiles);

    ui.PlaySoundResource("clm");
    ui.PlaySoundFile("C:\\Sounds\\alarm.wav");
    ui.ShowHelp("C:\\Program Files\\Quillstead\\Quillstead.chm::/filechanges.html>Main");
    ui.SetStatusText("Ready");
    ui.StatusProgressBegin("Checking...", 10, 0, true);
    const CFileException e(CFileException::fileNotFound, "E:\\gone.qdb");
    ui.ReportFileException(e);
    const std::vector<std::string> expected = {
        R"({"event":"sound","resource":"clm"})",
        R"({"event":"sound","file":"C:\\Sounds\\alarm.wav"})",
        R"({"event":"help","text":"C:\\Program Files\\Quillstead\\Quillstead.chm::/filechanges.html>Main"})",
        R"({"event":"status","text":"Ready"})",
        R"({"event":"progress","caption":"Checking..."})",
        R"({"event":"framework-report","cause":2,"file":"E:\\gone.qdb","text":)" +
            JsonString(FrameworkFileErrorText(e)) + "}",
    };
    EXPECT_EQ(ui.Events(), expected);
    EXPECT_EQ(printed, expected);
}

TEST(ScriptedUi, TimersAreRecordedUntilKilled) {
    ScriptedUi ui;
    int ticks = 0;
    ui.SetTimer(107, 950, [&] { ++ticks; });
    ui.SetTimer(10, 60000, [&] { ticks += 10; });
    ASSERT_EQ(ui.timers.count(107), 1u);
    EXPECT_EQ(ui.timers[107].milliseconds, 950u);
    ui.timers[107].tick();
    EXPECT_EQ(ticks, 1);
    ui.KillTimer(107);
    EXPECT_EQ(ui.timers.count(107), 0u);
    EXPECT_EQ(ui.timers.size(), 1u);
    EXPECT_TRUE(ui.Events().empty());
}

}  // namespace
