// The points between the writes of stored files where a test can stop the process, to see
// what an interruption at that moment leaves behind. Every write that changes the stored
// files (a staged file complete, the commit recorded, each rename, a copy appended, a
// plaintext note written ...) passes one. Null in the program; a kill test sets a hook that
// counts the points and ends the process at the one it wants.
#pragma once

using StorageStopHook = void (*)(const char* where);
void SetStorageStopHook(StorageStopHook hook);
void StorageStop(const char* where);
