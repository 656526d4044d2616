// What the add tests of several folders (criteria, add, e2e) write into scripts and compare
// with the seam's lines: a message box's event line, the attributes dialog answered and as
// shown, the searching and adding captions; and a framework open that succeeds on a file
// that cannot be opened, so nothing tells why.
#pragma once

#include <string>

#include "add/OpenToAdd.h"

// The event line of a message box.
std::string BoxEvent(const std::string& text, const char* icon = "information",
                     const char* buttons = "ok", const char* answer = "ok");

// The attributes dialog's boxes (m_critAttributes as a script writes them): "Any " alone,
// none, "Hidden." alone.
extern const char* const kAnyBoxes;
extern const char* const kNoBoxes;
extern const char* const kHiddenBoxes;
// The script line answering the next "Add files to the database according to their
// attributes.".
std::string AttributesAnswer(const std::string& location, const std::string& boxes = kAnyBoxes,
                             int notify = 0);
// The event line of that dialog, shown with these members and closed with `result`.
std::string AttributesDialogEvent(const std::string& location = "",
                                  const std::string& boxes = kNoBoxes, const char* result = "ok");

// The captions of "Searching for files to add." and of "Adding files to: " a database.
extern const char* const kSearchingEvent;
std::string AddingEvent(const std::string& database);

// While it lives, the framework's open succeeds where the add's own open fails.
class OpenWithoutCause {
  public:
    OpenWithoutCause();
    ~OpenWithoutCause();
    OpenWithoutCause(const OpenWithoutCause&) = delete;
    OpenWithoutCause& operator=(const OpenWithoutCause&) = delete;

  private:
    FrameworkOpenFn m_previous;
};
