#include "Unpacker.h"

#include "ArchiveFile.h"
#include "EntryNames.h"

#include <windows/Windows.h>

#include <zip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace ziplib {

namespace {

// libzip reads the archive through this source: positioned reads on one shared descriptor, so
// that every worker's handle has its own position over the same open file.
struct SharedFileSource {
    int fd;
    std::uint64_t size;
    std::uint64_t position = 0;
    zip_error_t error{};
};

zip_int64_t sharedFileCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    auto* s = static_cast<SharedFileSource*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN:
        s->position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const std::uint64_t n = std::min<std::uint64_t>(len, s->size - std::min(s->size, s->position));
        ssize_t got;
        do
            got = ::pread(s->fd, data, n, static_cast<off_t>(s->position));
        while (got < 0 && errno == EINTR);
        if (got < 0) {
            zip_error_set(&s->error, ZIP_ER_READ, errno);
            return -1;
        }
        s->position += static_cast<std::uint64_t>(got);
        return got;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &s->error);
        if (!st)
            return -1;
        zip_stat_init(st);
        st->size = s->size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(s->position, s->size, data, len, &s->error);
        if (to < 0)
            return -1;
        s->position = static_cast<std::uint64_t>(to);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(s->position);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_t* openShared(int fd, std::uint64_t size) {
    auto* state = new SharedFileSource{fd, size, 0, {}};
    zip_error_init(&state->error);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(sharedFileCallback, state, &error);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
        zip_error_fini(&error);
        return nullptr;
    }
    zip_t* handle = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!handle)
        zip_source_free(source); // frees the state too
    zip_error_fini(&error);
    return handle;
}

} // namespace

ReadArchive::~ReadArchive() {
    if (m_zip)
        zip_discard(m_zip);
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<ReadArchive> ReadArchive::Open(const std::string& zipPath) {
    const std::string host = win::HostPath(zipPath);
    if (host.empty())
        return nullptr;
    std::unique_ptr<ReadArchive> a(new ReadArchive);
    a->m_fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    // The smallest archive is its 22-byte end record; libzip would take an empty file as one.
    if (a->m_fd < 0 || ::fstat(a->m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 22)
        return nullptr;
    a->m_fileSize = static_cast<std::uint64_t>(st.st_size);
    a->m_zip = openShared(a->m_fd, a->m_fileSize);
    if (!a->m_zip)
        return nullptr;
    const zip_int64_t count = zip_get_num_entries(a->m_zip, 0);
    a->m_entries.reserve(static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t zs;
        // Strict names: UTF-8 when the entry says so, CP437 otherwise.
        const char* name = zip_get_name(a->m_zip, index, ZIP_FL_ENC_STRICT);
        if (!name || zip_stat_index(a->m_zip, index, 0, &zs) != 0)
            return nullptr;
        Entry e;
        e.name = names::fromArchive(name);
        e.folder = !e.name.empty() && (e.name.back() == '/' || e.name.back() == '\\');
        e.size = (zs.valid & ZIP_STAT_SIZE) ? zs.size : 0;
        e.modified = (zs.valid & ZIP_STAT_MTIME) ? zs.mtime : 0;
        const bool encrypted = (zs.valid & ZIP_STAT_ENCRYPTION_METHOD) && zs.encryption_method != ZIP_EM_NONE;
        const bool method = !(zs.valid & ZIP_STAT_COMP_METHOD) ||
                            zip_compression_method_supported(static_cast<zip_int32_t>(zs.comp_method), 0);
        e.readable = !encrypted && method;
        if (!e.folder) {
            ++a->m_files;
            a->m_bytes += e.size;
        }
        a->m_entries.push_back(std::move(e));
    }
    return a;
}

zip_t* ReadArchive::openHandle() const {
    return openShared(m_fd, m_fileSize);
}

namespace {

// One file to write, as planned before any worker starts.
struct Task {
    std::size_t entry = 0;
    std::string hostPath;
};

int codeForZipError(int zipError) {
    switch (zipError) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_COMPNOTSUPP:
        return ZIP_UNSUPPORTED_ENTRY;
    default:
        return ZIP_DAMAGED_ENTRY;
    }
}

class Unpacking {
  public:
    Unpacking(const ReadArchive& archive, const UnpackOptions& options, Counters& counters, ProgressCallback callback)
        : m_archive(archive), m_options(options), m_results(archive.entries().size(), ZIP_OK),
          m_counters(counters), m_pacer(callback, counters) {}

    int run(const std::string& targetFolder) {
        std::string base = targetFolder;
        while (!base.empty() && (base.back() == '\\' || base.back() == '/'))
            base.pop_back();
        if (!base.empty() && !win::ForceDirectories(base))
            return ZIP_WRITE_FAILED;
        if (!base.empty())
            base += '\\';
        plan(base);
        work();
        m_pacer.Finish();
        for (int r : m_results)
            if (r != ZIP_OK)
                return r;
        return ZIP_OK;
    }

  private:
    // Decides, in archive order and before anything is written, which entry goes where: the
    // folders are made, and of several entries that reach one file only the one that would be
    // left there by unpacking them in turn is written.
    void plan(const std::string& base) {
        const auto& entries = m_archive.entries();
        std::vector<std::pair<std::size_t, std::string>> files; // entry, path below base
        std::unordered_map<std::string, std::size_t> byKey;     // file key -> index in files
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const ReadArchive::Entry& e = entries[i];
            names::EntryPath path = names::split(e.name);
            if (!path.safe) {
                m_results[i] = ZIP_UNSAFE_NAME;
                continue;
            }
            if (path.folder) {
                if (!m_options.junkPaths && !makeFolder(base + names::join(path.parts, path.parts.size())))
                    m_results[i] = ZIP_WRITE_FAILED;
                continue;
            }
            if (!e.readable) {
                m_results[i] = ZIP_UNSUPPORTED_ENTRY;
                continue;
            }
            std::string relative = m_options.junkPaths ? path.parts.back() : names::join(path.parts, path.parts.size());
            auto [it, fresh] = byKey.try_emplace(names::fileKey(relative), files.size());
            if (fresh) {
                files.emplace_back(i, std::move(relative));
            } else if (!m_options.keepExisting) {
                files[it->second].first = i; // a later entry of the same name replaces the earlier
                files[it->second].second = std::move(relative);
            }
        }
        std::sort(files.begin(), files.end());
        for (auto& [entry, relative] : files) {
            if (!m_options.junkPaths) {
                const std::size_t cut = relative.rfind('\\');
                if (cut != std::string::npos && !makeFolder(base + relative.substr(0, cut))) {
                    m_results[entry] = ZIP_WRITE_FAILED;
                    continue;
                }
            }
            const std::string windowsPath = base + relative;
            std::string host = win::HostPath(windowsPath);
            if (host.empty()) {
                m_results[entry] = ZIP_WRITE_FAILED;
                continue;
            }
            struct stat st;
            if (m_options.keepExisting && ::lstat(host.c_str(), &st) == 0)
                continue;
            m_tasks.push_back({entry, std::move(host)});
        }
    }

    bool makeFolder(const std::string& windowsPath) {
        if (m_folders.contains(windowsPath))
            return true;
        if (!win::ForceDirectories(windowsPath))
            return false;
        m_folders.insert(windowsPath);
        return true;
    }

    void work() {
        if (m_tasks.empty())
            return;
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t workers = std::min<std::size_t>(cores, m_tasks.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < workers; ++i)
            threads.emplace_back([this] { worker(); });
        {
            std::unique_lock lock(m_mutex);
            while (m_finished < workers) {
                m_changed.wait_for(lock, std::chrono::milliseconds(33));
                lock.unlock();
                m_pacer.Tick();
                lock.lock();
            }
        }
        for (std::thread& t : threads)
            t.join();
    }

    void worker() {
        zip_t* handle = m_archive.openHandle();
        std::vector<char> buffer(std::size_t(256) << 10);
        for (;;) {
            const std::size_t next = m_nextTask.fetch_add(1);
            if (next >= m_tasks.size())
                break;
            const Task& task = m_tasks[next];
            int result = ZIP_DAMAGED_ENTRY;
            try {
                result = handle ? extract(handle, task, buffer) : ZIP_NOT_AN_ARCHIVE;
            } catch (...) {
                result = ZIP_WRITE_FAILED;
            }
            m_results[task.entry] = result;
        }
        if (handle)
            zip_discard(handle);
        std::lock_guard lock(m_mutex);
        ++m_finished;
        m_changed.notify_all();
    }

    // Writes one file under a temporary name beside its own, which it takes once it is whole.
    int extract(zip_t* handle, const Task& task, std::vector<char>& buffer) {
        zip_file_t* in = zip_fopen_index(handle, task.entry, 0);
        if (!in)
            return codeForZipError(zip_error_code_zip(zip_get_error(handle)));
        std::string temp;
        const int out = CreateBeside(task.hostPath, temp);
        if (out < 0) {
            zip_fclose(in);
            return ZIP_WRITE_FAILED;
        }
        int result = ZIP_OK;
        for (;;) {
            const zip_int64_t n = zip_fread(in, buffer.data(), buffer.size());
            if (n < 0) {
                result = codeForZipError(zip_error_code_zip(zip_file_get_error(in)));
                break;
            }
            if (n == 0)
                break;
            if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) {
                result = ZIP_WRITE_FAILED;
                break;
            }
            m_counters.bytes += static_cast<std::uint64_t>(n);
        }
        zip_fclose(in);
        if (result == ZIP_OK) {
            const std::time_t modified = m_archive.entries()[task.entry].modified;
            if (modified > 0) {
                const struct timespec times[2] = {{0, UTIME_OMIT}, {modified, 0}};
                ::futimens(out, times);
            }
        }
        if (::close(out) != 0 && result == ZIP_OK)
            result = ZIP_WRITE_FAILED;
        if (result == ZIP_OK && ::rename(temp.c_str(), task.hostPath.c_str()) != 0)
            result = ZIP_WRITE_FAILED;
        if (result != ZIP_OK) {
            ::unlink(temp.c_str());
            return result;
        }
        m_counters.files += 1;
        return ZIP_OK;
    }

    static bool writeAll(int fd, const char* bytes, std::size_t n) {
        while (n > 0) {
            const ssize_t done = ::write(fd, bytes, n);
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                return false;
            bytes += done;
            n -= static_cast<std::size_t>(done);
        }
        return true;
    }

    const ReadArchive& m_archive;
    UnpackOptions m_options;
    std::vector<int> m_results; // per entry, in archive order
    Counters& m_counters;
    CallbackPacer m_pacer;
    std::vector<Task> m_tasks;
    std::unordered_set<std::string> m_folders;
    std::atomic<std::size_t> m_nextTask{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_finished = 0;
};

} // namespace

int Unpack(const ReadArchive& archive, const std::string& targetFolder, const UnpackOptions& options,
           Counters& counters, ProgressCallback callback) {
    Unpacking unpacking(archive, options, counters, callback);
    return unpacking.run(targetFolder);
}

} // namespace ziplib
