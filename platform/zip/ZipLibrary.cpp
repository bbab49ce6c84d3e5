// The nine operations over the library's one current archive.

#include <zip/ZipLibrary.h>

#include "EntryNames.h"
#include "Packer.h"
#include "Unpacker.h"

#include <runtime/Cp1250.h>

#include <unordered_set>

namespace ziplib {

namespace {

std::string text(const char* s) {
    return s ? std::string(s) : std::string();
}

struct State {
    bool packing = false;
    std::string zipName;
    std::vector<QueuedFile> queue;
    std::unordered_set<std::string> queuedKeys;
    std::unique_ptr<ReadArchive> reading;
    Counters counters;

    void close() {
        packing = false;
        zipName.clear();
        queue.clear();
        queuedKeys.clear();
        reading.reset();
    }
};

State& state() {
    static State s;
    return s;
}

// The entry name's longest form that the name field holds.
constexpr std::size_t kMaxName = 0xFFFF;

} // namespace

int zCreateNewZip(const char* zipName) {
    State& s = state();
    s.close();
    s.counters.reset();
    s.zipName = text(zipName);
    if (s.zipName.empty())
        return ZIP_BAD_NAME;
    s.packing = true;
    return ZIP_OK;
}

int zOrderFile(const char* path, const char* name, int storeOnly) {
    State& s = state();
    if (!s.packing)
        return ZIP_NO_ARCHIVE;
    QueuedFile file{text(path), text(name), storeOnly == 1};
    bool utf8 = false;
    if (file.path.empty() || file.name.empty() || names::toArchive(file.name, utf8).size() > kMaxName)
        return ZIP_BAD_NAME;
    if (!s.queuedKeys.insert(names::fileKey(file.name)).second)
        return ZIP_BAD_NAME;
    s.queue.push_back(std::move(file));
    return ZIP_OK;
}

int zCompressFiles(const char*, int level, int threads, bool storeAll, int, const char*, ProgressCallback callback) {
    State& s = state();
    if (!s.packing)
        return ZIP_NO_ARCHIVE;
    try {
        PackOptions options;
        options.level = storeAll ? 0 : (level >= 0 && level <= 9 ? level : 6);
        options.threads = threads;
        s.counters.reset();
        std::vector<QueuedFile> queue = std::move(s.queue);
        s.queue.clear();
        s.queuedKeys.clear();
        return Pack(s.zipName, queue, options, s.counters, callback);
    } catch (...) {
        return ZIP_WRITE_FAILED;
    }
}

int zOpenZipFile(const char* zipName) {
    State& s = state();
    s.close();
    s.counters.reset();
    try {
        s.reading = ReadArchive::Open(text(zipName));
    } catch (...) {
        s.reading.reset();
    }
    return s.reading ? ZIP_OK : ZIP_NOT_AN_ARCHIVE;
}

int zGetTotalFiles() {
    const State& s = state();
    return s.reading ? static_cast<int>(static_cast<std::uint32_t>(s.reading->files())) : 0;
}

int zGetTotalBytes() {
    const State& s = state();
    return s.reading ? static_cast<int>(static_cast<std::uint32_t>(s.reading->bytes())) : 0;
}

int zExtractAll(const char* targetFolder, int, bool junkPaths, bool, bool keepExisting, bool,
                ProgressCallback callback) {
    State& s = state();
    if (!s.reading)
        return ZIP_NO_ARCHIVE;
    try {
        s.counters.reset();
        return Unpack(*s.reading, text(targetFolder), UnpackOptions{junkPaths, keepExisting}, s.counters, callback);
    } catch (...) {
        return ZIP_WRITE_FAILED;
    }
}

void zGetRunTimeInfo(std::int32_t* filesDone, std::int32_t* bytesDone) {
    const State& s = state();
    if (filesDone)
        *filesDone = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.counters.files.load()));
    if (bytesDone)
        *bytesDone = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.counters.bytes.load()));
}

int zCloseZipFile() {
    state().close();
    return ZIP_OK;
}

} // namespace ziplib
