#include "PrivateProgramFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace vlpak32test {

namespace {
constexpr const char* kFolderVariable = "VL_PAK32_TEST_PROGRAM_FOLDER";
}

PrivateProgramFolder::PrivateProgramFolder(int, char** argv) {
    namespace fs = std::filesystem;
    if (const char* folder = std::getenv(kFolderVariable)) {
        m_path = folder;
        ::unsetenv(kFolderVariable); // programs the tests start are not copies
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vlpak32prog.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    ::chmod(pattern.c_str(), 0755);
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path copy = fs::path(pattern) / self.filename();
    std::error_code ec;
    fs::copy_file(self, copy, ec);
    if (ec) {
        std::fprintf(stderr, "cannot copy %s: %s\n", self.c_str(), ec.message().c_str());
        std::exit(2);
    }
    ::chmod(copy.c_str(), 0755);
    ::setenv(kFolderVariable, pattern.c_str(), 1);
    ::execv(copy.c_str(), argv);
    std::perror("execv");
    std::exit(2);
}

PrivateProgramFolder::~PrivateProgramFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace vlpak32test
