// The add-by-attributes tests' common ground.
#include "tests/add/WalkAddFixture.h"

#include <unistd.h>

#include "platform/Prefix.h"
#include "platform/Ui.h"
#include "storage/FileRecord.h"
#include "tests/support/Json.h"

void WalkAddFixture::Choose(const std::string& location, const char* boxes, int notify) {
    prefix.ui.AddScriptLine(AttributesAnswer(location, boxes, notify));
}

void WalkAddFixture::Run() {
    RunCommand([this] { view.OnAddByAttributes(); });
}

std::vector<std::string> WalkAddFixture::Boxes() const {
    std::vector<std::string> texts;
    for (const std::string& line : prefix.ui.Events()) {
        const JsonValue event = ParseJson(line);
        if (event.Find("event")->text == "messagebox")
            texts.push_back(event.Find("text")->text);
    }
    return texts;
}

std::vector<std::string> WalkAddFixture::RecordPaths() const {
    std::vector<std::string> paths;
    const std::string plain = DatabasePlain();
    for (size_t start = 0, end; start < plain.size(); start = end + 1) {
        end = plain.find('\n', start);
        if (end == std::string::npos)
            end = plain.size();
        paths.push_back(plain.substr(start, plain.find(kFieldSeparator, start) - start));
    }
    return paths;
}

void WalkAddFixture::WithoutWholeMachine() {
    ASSERT_EQ(unlink((platform::DosDevicesDir() + "/z:").c_str()), 0);
}
