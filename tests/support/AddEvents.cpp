// The add tests' shared script and event lines.
#include "tests/support/AddEvents.h"

#include "tests/support/Json.h"

std::string BoxEvent(const std::string& text, const char* icon, const char* buttons,
                     const char* answer) {
    return "{\"event\":\"messagebox\",\"text\":" + JsonString(text) + ",\"icon\":\"" + icon +
           "\",\"buttons\":\"" + buttons + "\",\"answer\":\"" + answer + "\"}";
}

const char* const kAnyBoxes = "[0,0,0,0,0,0,0,0,1,0,0,0,0]";
const char* const kNoBoxes = "[0,0,0,0,0,0,0,0,0,0,0,0,0]";
const char* const kHiddenBoxes = "[1,0,0,0,0,0,0,0,0,0,0,0,0]";

std::string AttributesAnswer(const std::string& location, const std::string& boxes, int notify) {
    return "{\"dialog\":\"CAddByAttributesDlg\",\"set\":{\"m_critLocation\":" +
           JsonString(location) + ",\"m_critNotifyIfListed\":" + std::to_string(notify) +
           ",\"m_critAttributes\":" + boxes + "}}";
}

std::string AttributesDialogEvent(const std::string& location, const std::string& boxes,
                                  const char* result) {
    return "{\"event\":\"dialog\",\"class\":\"CAddByAttributesDlg\",\"members\":{"
           "\"m_critAttributes\":" +
           boxes + ",\"m_critLocation\":" + JsonString(location) +
           ",\"m_critNotifyIfListed\":0},\"result\":\"" + result + "\"}";
}

const char* const kSearchingEvent =
    "{\"event\":\"progress\",\"caption\":\"Searching for files to add.\"}";

std::string AddingEvent(const std::string& database) {
    return "{\"event\":\"progress\",\"caption\":" + JsonString("Adding files to: " + database) +
           "}";
}

namespace {
bool OpenSucceeds(const std::string&, int&) {
    return true;
}
}  // namespace

OpenWithoutCause::OpenWithoutCause() : m_previous(SetFrameworkOpen(OpenSucceeds)) {}

OpenWithoutCause::~OpenWithoutCause() {
    SetFrameworkOpen(m_previous);
}
