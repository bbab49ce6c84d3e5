#pragma once

// Unpacking: an archive opened through libzip and its files written, several at once, each
// under a temporary name until it is whole and checked.

#include "Progress.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

typedef struct zip zip_t;

namespace ziplib {

class ReadArchive {
  public:
    struct Entry {
        std::string name; // Windows-1250
        bool folder = false;
        std::uint64_t size = 0;
        std::time_t modified = 0;
        bool readable = true; // not encrypted, and of a method this library reads
    };

    ~ReadArchive();
    ReadArchive(const ReadArchive&) = delete;
    ReadArchive& operator=(const ReadArchive&) = delete;

    // The archive at `zipPath` (Windows form), or null when it is not a readable archive.
    static std::unique_ptr<ReadArchive> Open(const std::string& zipPath);

    const std::vector<Entry>& entries() const { return m_entries; }
    std::uint64_t files() const { return m_files; }
    std::uint64_t bytes() const { return m_bytes; }

    // A libzip handle of its own over the same open file, for one worker thread.
    zip_t* openHandle() const;

  private:
    ReadArchive() = default;

    int m_fd = -1;
    std::uint64_t m_fileSize = 0;
    zip_t* m_zip = nullptr;
    std::vector<Entry> m_entries;
    std::uint64_t m_files = 0;
    std::uint64_t m_bytes = 0;
};

struct UnpackOptions {
    bool junkPaths = false;
    bool keepExisting = false;
};

// Unpacks every file of `archive` below `targetFolder` (Windows form); a ZIP_... result.
int Unpack(const ReadArchive& archive, const std::string& targetFolder, const UnpackOptions& options,
           Counters& counters, ProgressCallback callback);

} // namespace ziplib
