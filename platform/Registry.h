// The registry. HKEY_CURRENT_USER "Software\Quillstead\<subkey>" lives in <prefix>/user.reg,
// a text file in the registry-export form (REGEDIT4; key lines
// "[HKEY_CURRENT_USER\Software\Quillstead\<subkey>]", the default value as @="..." with
// a backslash and a quote escaped by a backslash; CR LF written, LF also read), read and
// written whole and replaced atomically. HKEY_CLASSES_ROOT is answered from the
// freedesktop shared MIME database. This file owns both stores; the settings' meanings
// belong to app/Settings.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The unnamed default value of HKEY_CURRENT_USER\Software\Quillstead\<subkey>.
// False when the key or its value is missing or the file cannot be read.
bool RegReadValue(const std::string& subkey, std::string& value);
// Writes it (creating the key); false when the file cannot be replaced or read, or the
// value holds a line break or a zero byte (which the file form cannot carry).
bool RegWriteValue(const std::string& subkey, const std::string& value);
// Whether the key has a default value.
bool RegHasValue(const std::string& subkey);

class RegistryValues;
// Gives every key of `defaults` that has no value its default value, in one rewrite of the
// file; values that exist are kept. False when the file cannot be read or replaced.
bool RegWriteMissingValues(const RegistryValues& defaults);

// What is wrong with the file ("line 7 does not read", "it does not begin with REGEDIT4"),
// empty when nothing is. A damaged file is read as far as it reads, and never written: a
// write of it would lose what its damaged lines held.
std::string RegistryDamage();

// The whole store, its keys in the file's order (a new key goes at the end), names
// compared without letter case as the registry compares them. A key may have no value
// (its value line was missing or could not be read).
class RegistryValues {
  public:
    struct Key {
        std::string name;  // the subkey under Software\Quillstead
        std::string value;
        bool hasValue = false;
    };

    // The key of that name, or nullptr.
    const Key* Find(const std::string& name) const;
    // Sets the key's value, adding the key at the end when it is new.
    void Set(const std::string& name, const std::string& value);
    // Adds the key without a value when it is new (a key line without its value).
    Key& AddKey(const std::string& name);

    const std::vector<Key>& Keys() const { return m_keys; }
    size_t size() const { return m_keys.size(); }

    // The numbers (from 1) of the lines that are neither blank, a key line nor a value line
    // that reads.
    std::vector<size_t> damagedLines;

  private:
    std::vector<Key> m_keys;
};

// The text form, for the reader and the writer. Parsing fails (false) when the text does
// not start with the "REGEDIT4" line; a value line that cannot be read leaves its key
// without a value, and it and any line of no known form are counted in damagedLines.
bool ParseRegistryText(const std::string& text, RegistryValues& values);
std::string FormatRegistryText(const RegistryValues& values);

// The default value of HKEY_CLASSES_ROOT\<key>, answered from the shared MIME database:
//   ".txt"              -> the MIME type ("text/plain")
//   "txtfile"           -> the type's description ("plain text document")
//   "txtfile\DefaultIcon", "<mime type>\DefaultIcon" -> "<icon name>,0" (a themed icon)
//   "<mime type>"       -> the type's description
// False when the MIME database knows nothing of it.
bool RegReadClassesRoot(const std::string& key, std::string& value);

}  // namespace platform
