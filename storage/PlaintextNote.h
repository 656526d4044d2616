// A plaintext file made outside the program's own folders (a restore's copies beside the
// user's file) is noted in the prefix before it is made, so that whatever stops the program
// meanwhile, the next start finds and wipes it. A note can also say that the file is complete
// and belongs at another name (the restored original, once the changed file is moved aside):
// recovery then puts it there when nothing else took that name. The file is wiped when the
// note goes out of scope, unless it was handed over: through the stream it was made with
// while that is open (it is never opened again by name), else by name.
#pragma once

#include <string>
#include <vector>

#include "storage/Crypto.h"

namespace platform {
class CFile;
}

class PlaintextNote {
  public:
    // Writes the note; raises the file exception (naming `path`) when it cannot, so that the
    // plaintext file is never made without its note.
    PlaintextNote(const Key& key, std::string path);
    ~PlaintextNote();
    PlaintextNote(const PlaintextNote&) = delete;
    PlaintextNote& operator=(const PlaintextNote&) = delete;

    const std::string& Path() const { return m_path; }
    // The stream the file was made with (it must outlive the note): the wipe goes through it.
    void Attach(platform::CFile& file) { m_file = &file; }
    // The file is complete and is to be renamed to `target`.
    void FinishTo(const std::string& target);
    // The file was renamed into place or removed, and its folder synced: the note goes,
    // nothing is wiped.
    void Release();

  private:
    const Key& m_key;  // the store's; never copied
    std::string m_path;
    std::string m_notePath;
    platform::CFile* m_file = nullptr;
    bool m_released = false;
};

// Works through the notes an interruption left: a complete file whose target name is free
// is put there, every other noted file is wiped; each note is then removed.
// A note that does not read is left where it is and its path added to `unreadable`.
int RecoverPlaintextNotes(const Key& key, std::vector<std::string>* unreadable = nullptr);
