#include "PersData.h"

#include <windows/Windows.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

namespace Velt_b64 {

namespace {

// A record file name the platform would never resolve to a file.
bool hasWildcards(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

// Closes the record file exactly once, whichever way the read ends.
class FileGuard {
  public:
    explicit FileGuard(win::HANDLE handle) : m_handle(handle) {}
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;
    ~FileGuard() { close(); }
    win::HANDLE get() const { return m_handle; }
    void close() {
        if (m_handle != win::INVALID_HANDLE_VALUE)
            win::CloseHandle(m_handle);
        m_handle = win::INVALID_HANDLE_VALUE;
    }

  private:
    win::HANDLE m_handle;
};

// The record file's bytes. Taken with malloc rather than new: a request too large for memory
// comes back as null on every allocator (sanitizers' included), and nothing is zeroed first.
struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
};
using FileBytes = std::unique_ptr<char[], FreeBytes>;

// A large record fills its fresh buffer with far fewer page faults in 2 MiB pages; the kernel
// is free to ignore the advice.
void preferHugePages(char* bytes, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(bytes) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Reads the whole file in one read, the file denied to writers meanwhile. Returns the status:
// 0, 6 (cannot be opened) or 8 (size unknown, short read); throws std::bad_alloc.
std::uint8_t readWholeFile(const char* fileName, FileBytes& content, std::size_t& size) {
    FileGuard file(win::CreateFileA(fileName, win::GENERIC_READ, win::FILE_SHARE_READ, nullptr,
                                    win::OPEN_EXISTING, 0, nullptr));
    if (file.get() == win::INVALID_HANDLE_VALUE)
        return StatusCannotOpen;

    win::DWORD high = 0;
    win::SetLastError(win::ERROR_SUCCESS);
    const win::DWORD low = win::GetFileSize(file.get(), &high);
    if (low == win::INVALID_FILE_SIZE && win::GetLastError() != win::ERROR_SUCCESS)
        return StatusFailure;
    const std::uint64_t fileSize = (static_cast<std::uint64_t>(high) << 32) | low;
    if (fileSize >= std::numeric_limits<std::size_t>::max())
        throw std::bad_alloc();
    size = static_cast<std::size_t>(fileSize);
    content.reset(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
    if (!content)
        throw std::bad_alloc();
    preferHugePages(content.get(), size);

    // One read takes at most 4 GiB - 1 bytes; anything smaller, i.e. every real record, is read
    // in one go.
    std::size_t done = 0;
    while (done < size) {
        const std::size_t chunk = std::min<std::size_t>(size - done, 0xFFFFFFFFu);
        win::DWORD got = 0;
        if (!win::ReadFile(file.get(), content.get() + done, static_cast<win::DWORD>(chunk), &got, nullptr) ||
            got != chunk)
            return StatusFailure;
        done += got;
    }
    file.close();
    return StatusOk;
}

} // namespace

std::string ReadPersDataField(std::uint8_t index, const char* fileName, const char* separator,
                              std::uint8_t& status) noexcept {
    std::string field;
    try {
        if (index < 1 || index > kFieldCount) {
            status = StatusBadIndex;
            return field;
        }
        const std::string_view name = fileName ? std::string_view(fileName) : std::string_view();
        if (name.empty() || hasWildcards(name)) {
            status = StatusNoFile;
            return field;
        }
        const win::DWORD attributes = win::GetFileAttributesA(fileName);
        if (attributes == win::INVALID_FILE_ATTRIBUTES || (attributes & win::FILE_ATTRIBUTE_DIRECTORY)) {
            status = StatusNoFile;
            return field;
        }

        FileBytes content;
        std::size_t size = 0;
        status = readWholeFile(fileName, content, size);
        if (status != StatusOk)
            return field;

        const std::string_view record = DecodeBase64(std::span<char>(content.get(), size), status);
        if (record.empty()) {
            if (status == 1)
                status = StatusEmptyFile;
            else if (status == 2)
                status = StatusBadLength;
            return field;
        }
        status = PickPersDataField(record, index, separator, field);
        return field;
    } catch (const std::bad_alloc&) {
        status = StatusOutOfMemory;
    } catch (...) {
        status = StatusFailure;
    }
    field.clear();
    return field;
}

} // namespace Velt_b64
