// The "Database Checking Schedule" as an object: the protected file in the folder of the
// setting "Checking Schedule Directory", under the store's key and schedule vector, held in memory
// (its plaintext locked and wiped after use, so no plaintext copy reaches the disk), the databases
// it lists in their order, the changes the user makes to it, and its new form stored through a
// transaction, so an interruption leaves the old schedule or the new one.
#pragma once

#include <string>
#include <vector>

#include "storage/ProtectedImage.h"

class ProtectedStore;

class CheckingSchedule {
  public:
    CheckingSchedule(ProtectedStore& store, std::string scheduleDir);

    // Reads the schedule; a missing file is an empty schedule. Raises the file exception
    // (naming the schedule) when it cannot be read or is not a whole number of blocks.
    void Load();
    const std::string& Path() const { return m_path; }
    // Whether what was read is not lines the program writes (damage, never guessed at: a
    // damaged schedule is neither checked nor rewritten).
    bool Damaged() const;

    // The scheduled databases' paths, in the file's order.
    std::vector<std::string> Databases() const;
    bool Lists(const std::string& databasePath) const;

    // A database's line (without its line feed) at the end.
    void Add(const std::string& line);
    // Every line of the database taken out.
    void Remove(const std::string& databasePath);

    // Stores what changed: staged beside the schedule and put in its place. The folder is
    // made when it is missing. Raises the file exception when it cannot be written.
    void Commit();

  private:
    // Calls `visit` with each line, its line break included; each copy is wiped afterwards.
    template <class Visit>
    void ForEachLine(Visit visit) const;

    ProtectedStore& m_store;
    std::string m_dir;
    std::string m_path;
    ProtectedImage m_image;
};
