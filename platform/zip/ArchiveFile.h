#pragma once

// The archive being written: a temporary file beside its final name, buffered, that takes the
// final name only when it is whole. Dropped without commit, it is removed.

#include <cstdint>
#include <string>
#include <string_view>

namespace ziplib {

class ArchiveFile {
  public:
    ArchiveFile() = default;
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Creates the temporary file for the archive `finalHostPath`.
    bool create(const std::string& finalHostPath);

    void write(const void* bytes, std::size_t n);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
    // Overwrites bytes already written.
    bool patch(std::uint64_t at, std::string_view bytes);
    std::uint64_t offset() const { return m_offset; }
    bool failed() const { return m_failed; }

    // Flushes, closes and renames the file to its final name.
    bool commit();

  private:
    bool flush();

    int m_fd = -1;
    std::string m_temp;
    std::string m_final;
    std::string m_buffer;
    std::uint64_t m_offset = 0;
    bool m_failed = false;
};

// A name for a new file beside `hostPath` that no other file has: "<hostPath>.~vlXXXXXX".
// The file is created (mode 0666 less the umask) and its descriptor returned, or -1.
int CreateBeside(const std::string& hostPath, std::string& tempPath);

} // namespace ziplib
