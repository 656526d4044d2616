// The registry file: the sample file reproduced byte for byte, values that are missing or
// cannot be read, writes that keep the order, and the first start's values, which a
// second start never overwrites. HKEY_CLASSES_ROOT from the shared MIME database.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/Registry.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

namespace {

std::string SampleText() {
    std::ifstream in(QUILL_VECTORS_DIR "/sample-prefix/user.reg", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Key(const std::string& name, const std::string& value) {
    return "\r\n[HKEY_CURRENT_USER\\Software\\Quillstead\\" + name + "]\r\n@=\"" + value + "\"\r\n";
}

}  // namespace

using Registry = PlatformTest;

TEST(RegistryText, SampleFileRoundTripsByteForByte) {
    const std::string sample = SampleText();
    ASSERT_FALSE(sample.empty());
    RegistryValues values;
    ASSERT_TRUE(ParseRegistryText(sample, values));
    ASSERT_EQ(values.size(), 11u);
    EXPECT_EQ(values.Keys()[1].name, "Backup\\Backup Files Directory");
    EXPECT_EQ(values.Keys()[1].value, "C:\\Program Files\\Quillstead\\Backup Files\\");
    EXPECT_EQ(values.Find("config14")->value, "");
    EXPECT_TRUE(values.Find("Config14")->hasValue);
    EXPECT_EQ(FormatRegistryText(values), sample);

    // Lines ended by LF alone read the same.
    std::string lf;
    for (char c : sample) {
        if (c != '\r')
            lf += c;
    }
    RegistryValues fromLf;
    ASSERT_TRUE(ParseRegistryText(lf, fromLf));
    EXPECT_EQ(FormatRegistryText(fromLf), sample);
}

TEST(RegistryText, EscapesAndMalformedValues) {
    RegistryValues values;
    values.Set("Quote", "say \"hi\" C:\\x\\");
    EXPECT_EQ(FormatRegistryText(values),
              "REGEDIT4\r\n" + Key("Quote", "say \\\"hi\\\" C:\\\\x\\\\"));
    RegistryValues back;
    ASSERT_TRUE(ParseRegistryText(FormatRegistryText(values), back));
    EXPECT_EQ(back.Find("Quote")->value, "say \"hi\" C:\\x\\");

    const std::string text =
        "REGEDIT4\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\Open]\n@=\"abc\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\Bare]\n@=abc\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\Escape]\n@=\"a\\qb\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\Inner]\n@=\"a\"b\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\NoValue]\n\n"
        "[HKEY_CURRENT_USER\\Software\\Other\\Config1]\n@=\"elsewhere\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quillstead\\Good]\n@=\"yes\"\n";
    ASSERT_TRUE(ParseRegistryText(text, values));
    for (const char* name : {"Open", "Bare", "Escape", "Inner", "NoValue"}) {
        ASSERT_NE(values.Find(name), nullptr) << name;
        EXPECT_FALSE(values.Find(name)->hasValue) << name;
    }
    EXPECT_EQ(values.Find("Config1"), nullptr);
    EXPECT_EQ(values.Find("Good")->value, "yes");
    EXPECT_FALSE(ParseRegistryText("", values));
    EXPECT_FALSE(ParseRegistryText("Windows Registry Editor Version 5.00\r\n", values));
}

TEST_F(Registry, ReadsWritesAndKeepsTheOrder) {
    const std::string file = tmp + "/prefix/user.reg";
    WriteHost(file, SampleText());
    std::string value = "untouched";
    EXPECT_TRUE(RegReadValue("Config17", value));
    EXPECT_EQ(value, "N");
    EXPECT_TRUE(RegReadValue("CONFIG1", value));
    EXPECT_EQ(value, "~");
    value = "untouched";
    EXPECT_FALSE(RegReadValue("Config99", value));
    EXPECT_EQ(value, "untouched");

    ASSERT_TRUE(RegWriteValue("Config2", "1"));
    ASSERT_TRUE(RegWriteValue("Config99", "new \"one\""));
    std::string expected = SampleText();
    const std::string config2 = "Config2]\r\n@=\"0\"";
    expected.replace(expected.find(config2), config2.size(), "Config2]\r\n@=\"1\"");
    expected += Key("Config99", "new \\\"one\\\"");
    EXPECT_EQ(ReadHost(file), expected);
    // Replaced whole: nothing but the file itself is left in the prefix.
    EXPECT_EQ(system(("test $(ls -A '" + tmp + "/prefix' | wc -l) -eq 3").c_str()), 0);

    EXPECT_FALSE(RegWriteValue("Config3", "two\nlines"));
    EXPECT_FALSE(RegHasValue("Config3"));

    ASSERT_EQ(unlink(file.c_str()), 0);
    EXPECT_FALSE(RegReadValue("Config1", value));
    EXPECT_FALSE(RegHasValue("Config1"));
}

TEST_F(Registry, AFileThatCannotBeReadIsNeverOverwritten) {
    const std::string file = tmp + "/prefix/user.reg";
    WriteHost(file, "not a registry file\r\n");
    std::string value;
    EXPECT_FALSE(RegReadValue("Config1", value));
    EXPECT_FALSE(RegWriteValue("Config1", "~"));
    EXPECT_EQ(ReadHost(file), "not a registry file\r\n");
    EXPECT_EQ(RegistryDamage(), "it does not begin with REGEDIT4");
    FirstStartSetup();
    EXPECT_EQ(ReadHost(file), "not a registry file\r\n");
}

TEST_F(Registry, FirstStartValuesAndASecondStart) {
    const std::string file = tmp + "/prefix/user.reg";
    const std::string dir = "C:\\\\Program Files\\\\Quillstead\\\\";
    const std::string fresh = "REGEDIT4\r\n" + Key("Install Directory", dir) +
                              Key("Backup\\Backup Files Directory", dir + "Backup Files\\\\") +
                              Key("Changed Files Directory", dir + "Changed Files\\\\") +
                              Key("Checking Schedule Directory", dir + "Checking Schedule\\\\") +
                              Key("Config1", "~") + Key("Config2", "1") +
                              Key("Config3", dir + "Backup Databases\\\\") + Key("Config4", "1") +
                              Key("Config5", "1") + Key("Config8", "1") + Key("Config9", "0") +
                              Key("Config10", "0") + Key("Config11", "P") + Key("Config12", "0") +
                              Key("Config13", "0") + Key("Config14", "") + Key("Config17", "N");
    EXPECT_EQ(ReadHost(file), fresh);
    for (const char* sub : {"", "/Backup Files", "/Changed Files", "/Checking Schedule"}) {
        EXPECT_TRUE(HostExists(tmp + "/prefix/drive_c/Program Files/Quillstead" + sub)) << sub;
    }

    ASSERT_TRUE(RegWriteValue("Config13", "2"));
    ASSERT_TRUE(RegWriteValue("Config14", "C:\\alarm.wav"));
    FirstStartSetup();
    std::string value;
    ASSERT_TRUE(RegReadValue("Config13", value));
    EXPECT_EQ(value, "2");
    ASSERT_TRUE(RegReadValue("Config14", value));
    EXPECT_EQ(value, "C:\\alarm.wav");

    // A file with a line that does not read is left as it is: no default is guessed over
    // what the line held, and the other values still read.
    std::string text = ReadHost(file);
    text.erase(text.find(Key("Config4", "1")), Key("Config4", "1").size());
    const std::string damaged =
        text + "\r\n[HKEY_CURRENT_USER\\Software\\Quillstead\\Config5]\r\n@=\"9\r\nnoise\r\n";
    WriteHost(file, damaged);
    FirstStartSetup();
    EXPECT_EQ(ReadHost(file), damaged);
    const size_t valueLine = size_t(std::count(text.begin(), text.end(), '\n')) + 3;
    EXPECT_EQ(RegistryDamage(), "lines " + std::to_string(valueLine) + " and " +
                                    std::to_string(valueLine + 1) + " do not read");
    EXPECT_FALSE(RegReadValue("Config5", value));
    EXPECT_FALSE(RegWriteValue("Config13", "3"));
    ASSERT_TRUE(RegReadValue("Config13", value));
    EXPECT_EQ(value, "2");
    // Mended, a value that went missing is given back; the others stay where they are.
    WriteHost(file, text);
    FirstStartSetup();
    const std::string after = ReadHost(file);
    EXPECT_EQ(after.find(Key("Config13", "2")), text.find(Key("Config13", "2")));
    EXPECT_NE(after.find(Key("Config4", "1")), std::string::npos);
    EXPECT_GT(after.find(Key("Config4", "1")), after.find(Key("Config17", "N")));
}

TEST(ClassesRoot, FromTheSharedMimeDatabase) {
    if (access("/usr/share/mime/globs2", R_OK) != 0)
        GTEST_SKIP() << "no shared MIME database";
    std::string value;
    const std::pair<const char*, const char*> types[] = {{".txt", "text/plain"},
                                                         {".TXT", "text/plain"},
                                                         {".c", "text/x-csrc"},
                                                         {".C", "text/x-c++src"}};
    for (const auto& [extension, type] : types) {
        ASSERT_TRUE(RegReadClassesRoot(extension, value)) << extension;
        EXPECT_EQ(value, type) << extension;
    }

    std::string description;
    ASSERT_TRUE(RegReadClassesRoot("txtfile", description));
    EXPECT_FALSE(description.empty());
    EXPECT_EQ(description.find('<'), std::string::npos);
    ASSERT_TRUE(RegReadClassesRoot("text/plain", value));
    EXPECT_EQ(value, description);

    ASSERT_TRUE(RegReadClassesRoot("txtfile\\DefaultIcon", value));
    ASSERT_GT(value.size(), 2u);
    EXPECT_EQ(value.substr(value.size() - 2), ",0");
    std::string byType;
    ASSERT_TRUE(RegReadClassesRoot("text/plain\\DefaultIcon", byType));
    EXPECT_EQ(byType, value);

    EXPECT_FALSE(RegReadClassesRoot(".no-such-extension", value));
    EXPECT_FALSE(RegReadClassesRoot("nosuchextensionfile", value));
    EXPECT_FALSE(RegReadClassesRoot("text/no-such-type", value));
    EXPECT_FALSE(RegReadClassesRoot("../../etc/passwd", value));
    EXPECT_FALSE(RegReadClassesRoot("", value));
}
