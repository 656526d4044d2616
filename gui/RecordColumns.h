// The columns of the open database's list and the text each shows of a record: path,
// digest, size, attributes (letters R H S A C E), last-write and creation times (UTC, as
// "dd.mm.yyyy hh:mm:ss"), and the file's type.
#pragma once

#include <string>

#include "storage/FileRecord.h"

enum RecordColumn {
    COL_PATH,
    COL_DIGEST,
    COL_SIZE,
    COL_ATTRIBUTES,
    COL_LAST_WRITE,
    COL_CREATION,
    COL_TYPE,
    COL_COUNT
};

const char* RecordColumnTitle(int column);
int RecordColumnWidth(int column);

// The text of a column other than the type.
std::string RecordColumnText(const FileRecord& record, int column);

// The attribute letters of an attribute code byte; empty for none.
std::string AttributeLetters(unsigned char code);
// A FILETIME as "dd.mm.yyyy hh:mm:ss" (UTC); empty for a zero time.
std::string ListTimeText(const FILETIME& time);

// The part of a path the file type depends on: the text after its last '.'; a single blank
// when the path has no '.', or its only '.' is its first character.
std::string TypeKeyOf(const std::string& path);
