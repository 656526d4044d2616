// The add-by-attributes tests' common ground, on the add tests' database: the criteria
// dialog answered from the script, the command run as the framework runs it, the texts of
// the message boxes shown, the records' paths, and a drive layout without the whole machine
// (Z:) for the walks over every drive.
#pragma once

#include <string>
#include <vector>

#include "tests/add/AddFixture.h"

class WalkAddFixture : public AddFixture {
  protected:
    static const char* const kAny;
    static const char* const kNone;

    // Answers the next "Add files to the database according to their attributes.".
    void Choose(const std::string& location, const char* boxes = kAny, int notify = 0);
    // Runs command 32796 as the framework does.
    void Run();

    // Every message box's text, in order.
    std::vector<std::string> Boxes() const;
    // The paths of the database's records, in order.
    std::vector<std::string> RecordPaths() const;
    // The event line of a message box.
    static std::string BoxLine(const std::string& text, const char* icon,
                               const char* buttons = "ok", const char* answer = "ok");

    // Takes drive Z: (the whole machine) away, so "*" walks the test's drives and C:.
    void WithoutWholeMachine();
};
