// The add-by-criteria tests' common ground, on the add tests' database: the attributes
// dialog answered from the script, the command run as the framework runs it, the texts of
// the message boxes shown, the records' paths, and a drive layout without the whole machine
// (Z:) for the walks over every drive.
#pragma once

#include <string>
#include <vector>

#include "tests/add/AddFixture.h"

class WalkAddFixture : public AddFixture {
  protected:
    // Answers the next "Add files to the database according to their attributes.".
    void Choose(const std::string& location, const char* boxes = kAnyBoxes, int notify = 0);
    // Runs command 32796 as the framework does.
    void Run();

    // Every message box's text, in order.
    std::vector<std::string> Boxes() const;
    // The paths of the database's records, in order.
    std::vector<std::string> RecordPaths() const;

    // Takes drive Z: (the whole machine) away, so "*" walks the test's drives and C:.
    void WithoutWholeMachine();

    const std::string kAdding = AddingEvent(kDatabase);
};
