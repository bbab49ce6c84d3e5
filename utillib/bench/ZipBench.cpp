// Packing and unpacking 97 MB in 200 files (half text, half random bytes) through VELTZip and
// VELTUnZip, side by side with Info-ZIP's zip -6 -q -j and unzip -q in the same run, with the
// peak memory of each side.
//
//   vl_lib32_zip_bench [scale]    scale multiplies every file's size (default 1)

#include "BenchHost.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ZipFn = std::int32_t VL_LIB32_CALL(const char*, const char*, const char*, std::int32_t, std::int32_t,
                                         std::int32_t, std::int32_t, std::int32_t*);
using UnZipFn = std::int32_t VL_LIB32_CALL(const char*, const char*, std::int32_t, std::int32_t, std::int32_t,
                                           std::int32_t, std::int32_t*);

// The Windows form of a host path under C: (the host root).
std::string windowsPath(const std::string& host) {
    std::string p = "C:" + host;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

// 200 files of 485 000 bytes on average: even ones text, odd ones random, written in pieces so
// that making them costs the benchmark no memory.
std::uint64_t makeFiles(const std::string& folder, double scale) {
    static const char* words[] = {"paczka ", "wysylka ", "faktura ", "2026-12-09 ", "kontrahent\n", "NIP ",
                                  "suma netto; ", "VAT 23% ", "magazyn ", "towar "};
    std::mt19937_64 rng(42);
    std::uint64_t total = 0;
    std::string piece;
    for (int i = 0; i < 200; ++i) {
        const auto size = static_cast<std::size_t>((100'000 + (i * 7919 % 200) * 3'860) * scale);
        std::ofstream out(folder + "/file" + std::to_string(i) + (i % 2 ? ".bin" : ".txt"), std::ios::binary);
        std::size_t left = size;
        while (left > 0) {
            piece.clear();
            const std::size_t n = std::min<std::size_t>(left, 1 << 20);
            if (i % 2) {
                piece.resize(n);
                for (char& c : piece)
                    c = static_cast<char>(rng());
            } else {
                while (piece.size() < n)
                    piece += words[rng() % 10];
                piece.resize(n);
            }
            out.write(piece.data(), static_cast<std::streamsize>(n));
            left -= n;
        }
        total += size;
    }
    return total;
}

long peakKb(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// Runs a command under /usr/bin/time for its own peak memory (a forked child would otherwise
// count the benchmark's pages as its own).
double timedCommand(const std::string& command, long& peak) {
    const std::string peakFile = fs::temp_directory_path().string() + "/vl_zip_bench.peak";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(("/usr/bin/time -f %M -o '" + peakFile + "' " + command).c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::ifstream in(peakFile);
    long kb = 0;
    in >> kb;
    peak = std::max(peak, kb);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    void* library = bench::LoadLibrary(argv[0]);
    auto* VELTZip = bench::Export<ZipFn>(library, "VELTZip");
    auto* VELTUnZip = bench::Export<UnZipFn>(library, "VELTUnZip");

    const std::string root = fs::temp_directory_path().string() + "/vl_zip_bench";
    fs::remove_all(root);
    fs::create_directories(root + "/src");
    const std::uint64_t bytes = makeFiles(root + "/src", scale);
    std::printf("data: %.1f MB in 200 files (half text, half random), %u cores\n", bytes / 1e6,
                std::thread::hardware_concurrency());
    const long peakBefore = peakKb(RUSAGE_SELF);

    const std::string ours = root + "/ours.zip", theirs = root + "/infozip.zip";
    std::int32_t result = 0;
    const double packOurs = bench::Best(3, [&] {
        result = VELTZip((windowsPath(root + "/src") + "\\*.*").c_str(), windowsPath(ours).c_str(), "", 6, 0, 0, 0,
                         nullptr);
    });
    const long peakPack = peakKb(RUSAGE_SELF);
    long zipPeak = 0, unzipPeak = 0;
    double packZip = 1e300;
    for (int i = 0; i < 3; ++i) {
        fs::remove(theirs);
        packZip = std::min(packZip, timedCommand("zip -6 -q -j '" + theirs + "' '" + root + "/src/'*", zipPeak));
    }
    std::printf("pack   VELTZip (level 6, all cores): %6.3f s  %7.1f MB/s  archive %.1f MB  result %d\n", packOurs,
                bytes / 1e6 / packOurs, fs::file_size(ours) / 1e6, result);
    std::printf("pack   zip -6 -q -j                : %6.3f s  %7.1f MB/s  archive %.1f MB   -> %.1fx faster\n",
                packZip, bytes / 1e6 / packZip, fs::file_size(theirs) / 1e6, packZip / packOurs);

    const double unpackOurs = bench::Best(3, [&] {
        fs::remove_all(root + "/out1");
        result = VELTUnZip(windowsPath(ours).c_str(), windowsPath(root + "/out1").c_str(), 0, 0, 0, 0, nullptr);
    });
    const long peakUnpack = peakKb(RUSAGE_SELF);
    double unpackZip = 1e300;
    for (int i = 0; i < 3; ++i) {
        fs::remove_all(root + "/out2");
        unpackZip = std::min(unpackZip, timedCommand("unzip -q '" + ours + "' -d '" + root + "/out2'", unzipPeak));
    }
    std::printf("unpack VELTUnZip (all cores)       : %6.3f s  %7.1f MB/s  result %d\n", unpackOurs,
                bytes / 1e6 / unpackOurs, result);
    std::printf("unpack unzip -q                    : %6.3f s  %7.1f MB/s   -> %.1fx faster\n", unpackZip,
                bytes / 1e6 / unpackZip, unpackZip / unpackOurs);
    const std::string same = bench::Run("diff -r -q '" + root + "/out1' '" + root + "/out2' && echo same");
    std::printf("unpacked trees: %s", same.c_str());
    std::printf("peak memory (RSS): this program %ld KB before the work, %ld KB after packing, %ld KB after "
                "unpacking; zip %ld KB, unzip %ld KB\n",
                peakBefore, peakPack, peakUnpack, zipPeak, unzipPeak);
    fs::remove_all(root);
    return 0;
}
