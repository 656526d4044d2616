// The registry. HKEY_CURRENT_USER "Software\Quillstead\<subkey>" lives in <prefix>/user.reg,
// a text file in the registry-export form (REGEDIT4; key lines
// "[HKEY_CURRENT_USER\Software\Quillstead\<subkey>]", the default value as @="..." with \\
// and \" escapes; CR LF written, LF also read), read and written whole and replaced
// atomically. HKEY_CLASSES_ROOT is answered from the freedesktop shared MIME database.
// This file owns both stores; the settings' meanings belong to app/Settings.h.
#pragma once

#include <map>
#include <string>

namespace platform {

// The unnamed default value of HKEY_CURRENT_USER\Software\Quillstead\<subkey>.
// False when the key or its value is missing or the file cannot be read.
bool RegReadValue(const std::string& subkey, std::string& value);
// Writes it (creating the key); false when the file cannot be replaced.
bool RegWriteValue(const std::string& subkey, const std::string& value);
// Whether the key has a default value.
bool RegHasValue(const std::string& subkey);

// The whole store as subkey -> value, and its text form, for the reader and the writer.
using RegistryValues = std::map<std::string, std::string>;
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
