#include "Packer.h"

#include "ArchiveFile.h"
#include "EntryNames.h"
#include "ZipFormat.h"

#include <windows/Windows.h>

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace ziplib {

namespace {

// Files are cut into parts of this size, so that a large file keeps every core busy and no
// worker ever holds more than one part; a smaller file is one part.
constexpr std::size_t kPart = std::size_t(1) << 20;
// A part after the first is deflated with the 32 KiB before it as its dictionary, so cutting
// costs almost nothing in size.
constexpr std::size_t kWindow = 32768;
// From this size on a deflated entry might pass 4 GiB, so its local header gets ZIP64 sizes.
constexpr std::uint64_t kZip64LocalFrom = 0xF0000000;

struct Bytes {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;

    void allocate(std::size_t n) {
        data = std::make_unique_for_overwrite<unsigned char[]>(n ? n : 1);
        size = n;
    }
};

// One part of one file, from reading to the bytes that go into the archive.
struct Part {
    std::size_t file = 0;
    int fd = -1;
    std::uint64_t offset = 0;
    std::size_t length = 0;
    bool first = false;
    bool last = false;
    bool deflate = false;

    Bytes input;  // the window before the part (deflated parts after the first), then the part
    Bytes output; // deflate output, when `compressed`
    std::size_t outputSize = 0;
    std::size_t window = 0;
    std::uint32_t crc = 0;
    bool compressed = false;
    bool failed = false;
    bool done = false; // under the pool's lock

    const unsigned char* archiveBytes() const { return compressed ? output.data.get() : input.data.get() + window; }
    std::size_t archiveSize() const { return compressed ? outputSize : length; }
};

bool readAt(int fd, unsigned char* into, std::size_t n, std::uint64_t offset) {
    while (n > 0) {
        ssize_t got = ::pread(fd, into, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false; // a read error, or the file became shorter than it was
        into += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

// A worker's compressors: libdeflate for a file that is one part, zlib (which can continue a
// stream from a dictionary and end a part on a byte boundary) for the parts of a larger one.
class Compressor {
  public:
    explicit Compressor(int level) : m_whole(libdeflate_alloc_compressor(level)) {
        m_streamReady = deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Compressor() {
        if (m_whole)
            libdeflate_free_compressor(m_whole);
        if (m_streamReady)
            deflateEnd(&m_stream);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void run(Part& part) {
        part.window = part.deflate && !part.first ? static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, part.offset)) : 0;
        part.input.allocate(part.window + part.length);
        if (!readAt(part.fd, part.input.data.get(), part.input.size, part.offset - part.window)) {
            part.failed = true;
            return;
        }
        const unsigned char* bytes = part.input.data.get() + part.window;
        part.crc = libdeflate_crc32(0, bytes, part.length);
        if (!part.deflate)
            return;
        if (part.first && part.last)
            deflateWhole(part, bytes);
        else
            deflatePart(part, bytes);
    }

  private:
    void deflateWhole(Part& part, const unsigned char* bytes) {
        if (!m_whole) {
            part.failed = true;
            return;
        }
        const std::size_t bound = libdeflate_deflate_compress_bound(m_whole, part.length);
        part.output.allocate(bound);
        const std::size_t n = libdeflate_deflate_compress(m_whole, bytes, part.length, part.output.data.get(), bound);
        // What deflate cannot shrink is stored as it is.
        if (n > 0 && n < part.length) {
            part.compressed = true;
            part.outputSize = n;
        } else {
            part.output = Bytes{};
        }
    }

    void deflatePart(Part& part, const unsigned char* bytes) {
        if (!m_streamReady || deflateReset(&m_stream) != Z_OK) {
            part.failed = true;
            return;
        }
        if (part.window > 0 &&
            deflateSetDictionary(&m_stream, part.input.data.get(), static_cast<uInt>(part.window)) != Z_OK) {
            part.failed = true;
            return;
        }
        part.output.allocate(deflateBound(&m_stream, part.length) + 64);
        m_stream.next_in = const_cast<unsigned char*>(bytes);
        m_stream.avail_in = static_cast<uInt>(part.length);
        std::size_t produced = 0;
        // A part other than the last ends with a sync flush: byte-aligned, not final, so the
        // parts join into one stream.
        const int flush = part.last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            if (produced == part.output.size) {
                Bytes bigger;
                bigger.allocate(part.output.size * 2);
                std::copy_n(part.output.data.get(), produced, bigger.data.get());
                part.output = std::move(bigger);
            }
            m_stream.next_out = part.output.data.get() + produced;
            m_stream.avail_out = static_cast<uInt>(part.output.size - produced);
            const int ret = deflate(&m_stream, flush);
            produced = part.output.size - m_stream.avail_out;
            if (ret == Z_STREAM_ERROR) {
                part.failed = true;
                return;
            }
            if (part.last ? ret == Z_STREAM_END : (m_stream.avail_in == 0 && m_stream.avail_out != 0))
                break;
        }
        part.compressed = true;
        part.outputSize = produced;
    }

    libdeflate_compressor* m_whole = nullptr;
    z_stream m_stream{};
    bool m_streamReady = false;
};

// Worker threads that take parts in the order they were handed in.
class WorkerPool {
  public:
    WorkerPool(int threads, int level) {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this, level] { work(level); });
    }
    ~WorkerPool() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads)
            t.join();
    }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void submit(Part* part) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(part);
        }
        m_wake.notify_one();
    }
    void waitFor(const Part& part) {
        std::unique_lock lock(m_mutex);
        m_finished.wait(lock, [&] { return part.done; });
    }

  private:
    void work(int level) {
        Compressor compressor(level);
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            Part* part = m_queue.front();
            m_queue.pop_front();
            lock.unlock();
            try {
                compressor.run(*part);
            } catch (...) {
                part->failed = true;
            }
            lock.lock();
            part->done = true;
            m_finished.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::deque<Part*> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

// One queued file while its parts are under way.
struct Source {
    int fd = -1;
    std::uint64_t size = 0;
    bool deflate = false;
    format::EntryRecord record;
};

class Packing {
  public:
    Packing(const std::vector<QueuedFile>& files, const PackOptions& options, Counters& counters,
            ProgressCallback callback)
        : m_files(files), m_level(options.level), m_sources(files.size()), m_counters(counters),
          m_pacer(callback, counters) {
        unsigned threads = options.threads > 0 ? static_cast<unsigned>(options.threads)
                                               : std::max(1u, std::thread::hardware_concurrency());
        m_threads = static_cast<int>(std::min(threads, 256u));
    }
    ~Packing() {
        m_pool.reset(); // workers stop before the parts and files they use go away
        for (Source& s : m_sources)
            if (s.fd >= 0)
                ::close(s.fd);
    }
    Packing(const Packing&) = delete;
    Packing& operator=(const Packing&) = delete;

    int run(const std::string& zipPath) {
        const std::string host = win::HostPath(zipPath);
        if (host.empty() || !m_archive.create(host))
            return ZIP_WRITE_FAILED;
        m_pool = std::make_unique<WorkerPool>(m_threads, m_level > 0 ? m_level : 6);
        const std::size_t inFlight = static_cast<std::size_t>(m_threads) * 2 + 2;
        int result = ZIP_OK;
        while (result == ZIP_OK) {
            while (result == ZIP_OK && m_parts.size() < inFlight && m_next < m_files.size())
                result = schedule();
            if (result != ZIP_OK || m_parts.empty())
                break;
            Part& part = *m_parts.front();
            m_pool->waitFor(part);
            result = store(part);
            m_parts.pop_front();
            m_pacer.Tick();
        }
        if (result == ZIP_OK)
            result = finish();
        m_pacer.Finish();
        return result;
    }

  private:
    // Hands the next part of the queue to the workers, opening its file at its first part.
    int schedule() {
        Source& s = m_sources[m_next];
        if (m_offset == 0) {
            if (int r = open(m_files[m_next], s); r != ZIP_OK)
                return r;
        }
        auto part = std::make_unique<Part>();
        part->file = m_next;
        part->fd = s.fd;
        part->offset = m_offset;
        part->length = static_cast<std::size_t>(std::min<std::uint64_t>(kPart, s.size - m_offset));
        part->first = m_offset == 0;
        part->last = m_offset + part->length == s.size;
        part->deflate = s.deflate;
        m_offset += part->length;
        if (part->last) {
            ++m_next;
            m_offset = 0;
        }
        m_pool->submit(part.get());
        m_parts.push_back(std::move(part));
        return ZIP_OK;
    }

    int open(const QueuedFile& file, Source& s) {
        const std::string host = win::HostPath(file.path);
        if (host.empty())
            return ZIP_READ_FAILED;
        s.fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (s.fd < 0 || ::fstat(s.fd, &st) != 0 || !S_ISREG(st.st_mode))
            return ZIP_READ_FAILED;
        ::posix_fadvise(s.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        s.size = static_cast<std::uint64_t>(st.st_size);
        s.deflate = m_level > 0 && !file.storeOnly && s.size > 0;
        format::EntryRecord& e = s.record;
        e.name = names::toArchive(file.name, e.utf8);
        e.size = s.size;
        e.modified = st.st_mtim.tv_sec;
        const win::DWORD attributes = win::GetFileAttributesA(file.path.c_str());
        if (attributes != win::INVALID_FILE_ATTRIBUTES)
            e.dosAttributes = attributes & (win::FILE_ATTRIBUTE_READONLY | win::FILE_ATTRIBUTE_HIDDEN |
                                            win::FILE_ATTRIBUTE_SYSTEM | win::FILE_ATTRIBUTE_ARCHIVE);
        return ZIP_OK;
    }

    // Writes a finished part into the archive, with its entry's header before its first bytes.
    int store(Part& part) {
        if (part.failed)
            return ZIP_READ_FAILED;
        Source& s = m_sources[part.file];
        format::EntryRecord& e = s.record;
        if (part.first) {
            e.localHeaderOffset = m_archive.offset();
            if (part.last) {
                e.method = part.compressed ? format::kDeflated : format::kStored;
                e.crc = part.crc;
                e.compressedSize = part.archiveSize();
            } else {
                e.method = s.deflate ? format::kDeflated : format::kStored;
                e.zip64Local = s.size >= kZip64LocalFrom;
            }
            m_archive.write(format::localHeader(e));
        }
        if (part.first && !part.last) {
            e.crc = part.crc;
            e.compressedSize = part.archiveSize();
        } else if (!part.first) {
            e.crc = static_cast<std::uint32_t>(crc32_combine(e.crc, part.crc, static_cast<z_off_t>(part.length)));
            e.compressedSize += part.archiveSize();
        }
        m_archive.write(part.archiveBytes(), part.archiveSize());
        part.input = Bytes{};
        part.output = Bytes{};
        m_counters.bytes += part.length;

        if (!part.last)
            return m_archive.failed() ? ZIP_WRITE_FAILED : ZIP_OK;
        if (!part.first && !patchSizes(e))
            return ZIP_WRITE_FAILED;
        ::close(s.fd);
        s.fd = -1;
        m_central += format::centralRecord(e);
        ++m_entries;
        m_counters.files += 1;
        return m_archive.failed() ? ZIP_WRITE_FAILED : ZIP_OK;
    }

    // An entry of several parts learns its check sum and compressed size only at its end.
    bool patchSizes(const format::EntryRecord& e) {
        std::string crc;
        format::put32(crc, e.crc);
        if (e.zip64Local) {
            std::string sizes;
            format::put64(sizes, e.size);
            format::put64(sizes, e.compressedSize);
            return m_archive.patch(e.localHeaderOffset + format::kLocalCrcOffset, crc) &&
                   m_archive.patch(e.localHeaderOffset + format::localZip64SizesOffset(e), sizes);
        }
        if (e.compressedSize >= format::kMax32 || e.size >= format::kMax32)
            return false;
        format::put32(crc, static_cast<std::uint32_t>(e.compressedSize));
        format::put32(crc, static_cast<std::uint32_t>(e.size));
        return m_archive.patch(e.localHeaderOffset + format::kLocalCrcOffset, crc);
    }

    int finish() {
        const std::uint64_t centralOffset = m_archive.offset();
        m_archive.write(m_central);
        m_archive.write(format::endRecords(m_entries, centralOffset, m_central.size()));
        return m_archive.commit() ? ZIP_OK : ZIP_WRITE_FAILED;
    }

    const std::vector<QueuedFile>& m_files;
    int m_level;
    int m_threads = 1;
    std::vector<Source> m_sources;
    Counters& m_counters;
    CallbackPacer m_pacer;
    ArchiveFile m_archive;
    std::deque<std::unique_ptr<Part>> m_parts;
    std::unique_ptr<WorkerPool> m_pool;
    std::size_t m_next = 0;      // the file whose next part is scheduled next
    std::uint64_t m_offset = 0;  // where in it
    std::string m_central;
    std::uint64_t m_entries = 0;
};

} // namespace

int Pack(const std::string& zipPath, const std::vector<QueuedFile>& files, const PackOptions& options,
         Counters& counters, ProgressCallback callback) {
    if (files.empty())
        return ZIP_NOTHING_QUEUED;
    Packing packing(files, options, counters, callback);
    return packing.run(zipPath);
}

} // namespace ziplib
