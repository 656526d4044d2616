// The program's start, one for the window and the headless driver alike: the first start's
// work on the prefix, the password screen's answers tested against the files protected in
// the backup folder (storage/PasswordCheck.h: a refusal, a first password typed twice, a
// damaged "Database Index"), the check value kept, the store of the protected files opened
// with the accepted key, and recovery run on it before anything else can use a stored file.
// Where the answers come from and how a refusal is told is the prompt's business: the window
// shows the password dialog and asks again; the driver has one password and ends.
#pragma once

#include <memory>
#include <string>

class ProtectedStore;

class PasswordPrompt {
  public:
    // One typing of the password (`again`: a first password's second typing); false when
    // the user quits.
    virtual bool Type(std::string& password, bool again) = 0;
    // The typed password is not the password: true to ask again (the user has been told).
    virtual bool Refused() = 0;
    // The two typings of a first password differ: true to ask again.
    virtual bool TypingsDiffer() = 0;
    // The "Database Index" cannot be read whatever the password: the start ends.
    virtual void IndexDamaged(const std::string& indexPath) = 0;

  protected:
    ~PasswordPrompt() = default;
};

// Runs the start. The store, recovered; null when the program does not start (the user quit,
// a refusal not asked again, a damaged index, a prefix that cannot be set up: each said).
std::unique_ptr<ProtectedStore> StartUp(PasswordPrompt& prompt);
