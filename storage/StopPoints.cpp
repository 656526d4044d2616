// The stop points' hook.
#include "storage/StopPoints.h"

namespace {
StorageStopHook g_hook = nullptr;
}

void SetStorageStopHook(StorageStopHook hook) {
    g_hook = hook;
}

void StorageStop(const char* where) {
    if (g_hook)
        g_hook(where);
}
