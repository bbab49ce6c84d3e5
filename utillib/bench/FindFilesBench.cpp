// FindFiles over a generated tree of 100 000 files against find DIR -name MASK, in one run.
// Run from a build without sanitizers.

#include "BenchHost.h"

#include <runtime/StringList.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

int main(int, char** argv) try {
    void* library = bench::LoadLibrary(argv[0]);
    auto findFiles = bench::Export<decltype(::FindFiles)>(library, "FindFiles");

    // 10 x 10 x 10 folders of 100 files each, one in two a text file.
    char pattern[] = "/tmp/vl_findbench_XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot make the tree's folder");
    const std::string root = pattern;
    int files = 0;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 10; ++c) {
                const std::string folder =
                    root + "/d" + std::to_string(a) + "/e" + std::to_string(b) + "/f" + std::to_string(c);
                fs::create_directories(folder);
                for (int i = 0; i < 100; ++i, ++files)
                    std::ofstream(folder + "/file" + std::to_string(i) + (i % 2 ? ".txt" : ".dat"));
            }

    std::size_t ours = 0;
    double ourCpu = 1e300;
    const double ourTime = bench::Best(3, [&] {
        const double cpu = bench::CpuSeconds(RUSAGE_SELF);
        rtl::TStringList list;
        rtl::TStringList* variable = &list;
        findFiles(&variable, root.c_str(), "*.txt");
        ours = static_cast<std::size_t>(list.Count());
        ourCpu = std::min(ourCpu, bench::CpuSeconds(RUSAGE_SELF) - cpu);
    });
    std::string found;
    double findCpu = 1e300;
    const double findTime = bench::Best(3, [&] {
        const double cpu = bench::CpuSeconds(RUSAGE_CHILDREN);
        found = bench::Run("find " + root + " -name '*.txt'");
        findCpu = std::min(findCpu, bench::CpuSeconds(RUSAGE_CHILDREN) - cpu);
    });
    std::size_t theirs = 0;
    for (char ch : found)
        theirs += ch == '\n';

    std::printf("Search of %d files in %d folders for *.txt (best of 3)\n", files, 1111);
    std::printf("  FindFiles   %8.1f ms  (processor %6.1f ms)  %zu paths\n", ourTime * 1e3, ourCpu * 1e3,
                ours);
    std::printf("  find -name  %8.1f ms  (processor %6.1f ms)  %zu paths\n", findTime * 1e3, findCpu * 1e3,
                theirs);
    std::printf("  same count: %s; goal (at least as fast as find): %s\n", ours == theirs ? "yes" : "NO",
                ourTime <= findTime ? "met" : "missed");
    std::printf("FindFiles / find: %.2fx\n", findTime / ourTime);
    std::printf("FindFiles / find, processor time: %.2fx\n", findCpu / ourCpu);
    fs::remove_all(root);
    dlclose(library);
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
}
