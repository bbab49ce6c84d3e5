// LZ-expansion files over the layer's file handles: the sharing rules and error codes are those
// of CreateFileA.

#include <windows/LZExpand.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace win {

namespace {

constexpr std::array<unsigned char, 8> kMagic = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kChunk = 65536;
constexpr std::size_t kWindow = 4096;

struct LZFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    bool compressed = false;
    std::uint32_t expandedLength = 0;
    std::string pending; // bytes read while looking for the header, not yet copied
    ~LZFile() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

std::mutex g_mutex;
std::map<INT, std::shared_ptr<LZFile>> g_files;
INT g_next = 0;

INT nextHandle() {
    std::lock_guard lock(g_mutex);
    do
        g_next = g_next == INT_MAX ? 0 : g_next + 1;
    while (g_files.count(g_next));
    return g_next;
}

INT add(std::shared_ptr<LZFile> file) {
    const INT handle = nextHandle();
    std::lock_guard lock(g_mutex);
    g_files[handle] = std::move(file);
    return handle;
}

std::shared_ptr<LZFile> find(INT handle) {
    std::lock_guard lock(g_mutex);
    auto it = g_files.find(handle);
    return it == g_files.end() ? nullptr : it->second;
}

void record(OFSTRUCT* ofs, const char* fileName, DWORD error) {
    if (!ofs)
        return;
    ofs->cBytes = sizeof(OFSTRUCT);
    ofs->nErrCode = static_cast<WORD>(error);
    std::string full = fileName && *fileName ? WindowsPath(HostPath(fileName)) : std::string();
    full.resize(std::min<std::size_t>(full.size(), OFS_MAXPATHNAME - 1));
    std::memcpy(ofs->szPathName, full.c_str(), full.size() + 1);
    ofs->fFixedDisk = 1;
}

// Reads up to `size` bytes; false on a read error.
bool readSome(HANDLE file, char* buffer, std::size_t size, std::size_t& got) {
    DWORD n = 0;
    const BOOL ok = ReadFile(file, buffer, static_cast<DWORD>(size), &n, nullptr);
    got = n;
    return ok;
}

// Collects output and writes it in large pieces.
class Output {
  public:
    explicit Output(HANDLE file) : m_file(file) { m_buffer.reserve(kChunk); }
    bool put(char c) {
        m_buffer.push_back(c);
        return m_buffer.size() < kChunk || flush();
    }
    bool put(const char* p, std::size_t n) {
        if (!flush())
            return false;
        return write(p, n);
    }
    bool flush() {
        const bool ok = write(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return ok;
    }
    std::uint64_t written() const { return m_written + m_buffer.size(); }

  private:
    bool write(const char* p, std::size_t n) {
        if (n == 0)
            return true;
        DWORD done = 0;
        if (!WriteFile(m_file, p, static_cast<DWORD>(n), &done, nullptr) || done != n)
            return false;
        m_written += n;
        return true;
    }
    HANDLE m_file;
    std::vector<char> m_buffer;
    std::uint64_t m_written = 0;
};

LONG reported(std::uint64_t written) {
    return static_cast<LONG>(std::min<std::uint64_t>(written, INT32_MAX));
}

LONG copyPlain(LZFile& in, Output& out) {
    if (!out.put(in.pending.data(), in.pending.size()))
        return LZERROR_WRITE;
    in.pending.clear();
    std::vector<char> buffer(kChunk);
    for (;;) {
        std::size_t got = 0;
        if (!readSome(in.file, buffer.data(), buffer.size(), got))
            return LZERROR_READ;
        if (got == 0)
            return reported(out.written());
        if (!out.put(buffer.data(), got))
            return LZERROR_WRITE;
    }
}

// LZSS as the format has it: a flag byte, then eight items, each a literal (flag bit 1) or a
// reference (bit 0) of two bytes: a 12-bit window position and a length of 3 to 18. The window
// holds 4096 bytes, starts filled with blanks and is written from position 4096 - 16.
LONG expand(LZFile& in, Output& out) {
    std::vector<char> buffer(kChunk);
    std::size_t have = 0, at = 0;
    bool readFailed = false;
    auto next = [&](unsigned char& c) {
        if (at == have) {
            if (readFailed || !readSome(in.file, buffer.data(), buffer.size(), have)) {
                readFailed = true;
                return false;
            }
            at = 0;
            if (have == 0)
                return false;
        }
        c = static_cast<unsigned char>(buffer[at++]);
        return true;
    };
    std::array<char, kWindow> window;
    window.fill(' ');
    std::size_t pos = kWindow - 16;
    // The header's length is the file's: what follows it (some compressors pad) is not copied.
    const std::uint64_t limit = in.expandedLength;
    auto emit = [&](char c) {
        window[pos] = c;
        pos = (pos + 1) % kWindow;
        return out.put(c);
    };
    unsigned char flags = 0;
    while (out.written() < limit && next(flags)) {
        for (int bit = 0; bit < 8 && out.written() < limit; ++bit) {
            unsigned char lo, hi;
            if (flags & (1 << bit)) {
                if (!next(lo))
                    break;
                if (!emit(static_cast<char>(lo)))
                    return LZERROR_WRITE;
                continue;
            }
            if (!next(lo) || !next(hi))
                break;
            std::size_t from = lo | ((hi & 0xF0u) << 4);
            const int length = (hi & 0x0F) + 3;
            for (int i = 0; i < length && out.written() < limit; ++i) {
                if (!emit(window[from]))
                    return LZERROR_WRITE;
                from = (from + 1) % kWindow;
            }
        }
    }
    if (!out.flush())
        return LZERROR_WRITE;
    // Data that breaks off before the stated length is no whole file.
    if (readFailed || out.written() != limit)
        return LZERROR_READ;
    return reported(out.written());
}

} // namespace

INT LZOpenFileA(const char* fileName, OFSTRUCT* reOpenBuff, WORD style) {
    const bool exist = style & OF_EXIST;
    const bool create = style & OF_CREATE;
    const WORD mode = style & (OF_READ | OF_WRITE | OF_READWRITE);
    DWORD access = 0, disposition = OPEN_EXISTING;
    if (create) {
        access = GENERIC_WRITE | (mode == OF_READWRITE ? GENERIC_READ : 0);
        disposition = CREATE_ALWAYS;
    } else if (!exist) {
        access = mode == OF_READ    ? GENERIC_READ
                 : mode == OF_WRITE ? GENERIC_WRITE
                                    : GENERIC_READ | GENERIC_WRITE;
    }
    HANDLE file =
        CreateFileA(fileName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        record(reOpenBuff, fileName, GetLastError());
        return LZERROR_BADINHANDLE;
    }
    record(reOpenBuff, fileName, ERROR_SUCCESS);
    auto lz = std::make_shared<LZFile>();
    lz->file = file;
    if (exist && !create)
        return nextHandle(); // tested; the file closes with `lz`
    if (!create && mode == OF_READ) {
        std::string head(kHeaderSize, '\0');
        std::size_t got = 0, n = 0;
        while (got < kHeaderSize && readSome(file, head.data() + got, kHeaderSize - got, n) && n > 0)
            got += n;
        head.resize(got);
        const bool magic =
            got >= kMagic.size() && std::memcmp(head.data(), kMagic.data(), kMagic.size()) == 0;
        if (magic) {
            if (got < kHeaderSize)
                return LZERROR_READ;
            if (head[8] != 'A')
                return LZERROR_UNKNOWNALG;
            lz->compressed = true;
            lz->expandedLength = static_cast<std::uint32_t>(static_cast<unsigned char>(head[10])) |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(head[11])) << 8 |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(head[12])) << 16 |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(head[13])) << 24;
        } else {
            lz->pending = std::move(head);
        }
    }
    return add(std::move(lz));
}

LONG LZCopy(INT source, INT dest) {
    auto in = find(source);
    if (!in)
        return LZERROR_BADINHANDLE;
    auto out = find(dest);
    if (!out || out->compressed)
        return LZERROR_BADOUTHANDLE;
    Output writer(out->file);
    const LONG result = in->compressed ? expand(*in, writer) : copyPlain(*in, writer);
    if (result >= 0 && !writer.flush())
        return LZERROR_WRITE;
    return result;
}

void LZClose(INT file) {
    std::shared_ptr<LZFile> closing;
    std::lock_guard lock(g_mutex);
    if (auto it = g_files.find(file); it != g_files.end()) {
        closing = std::move(it->second);
        g_files.erase(it);
    }
}

} // namespace win
