#pragma once

// Packing: the queued files compressed on worker threads and written, in queue order, into a
// new archive that replaces the old one only once it is whole.

#include "Progress.h"

#include <string>
#include <vector>

namespace ziplib {

struct QueuedFile {
    std::string path; // Windows form
    std::string name; // Windows-1250 entry name
    bool storeOnly = false;
};

struct PackOptions {
    int level = 6;    // 0 stores
    int threads = 0;  // 0: one per core
};

// Packs `files` into the archive at `zipPath` (Windows form); a ZIP_... result.
int Pack(const std::string& zipPath, const std::vector<QueuedFile>& files, const PackOptions& options,
         Counters& counters, ProgressCallback callback);

} // namespace ziplib
