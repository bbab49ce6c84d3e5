// Decoding speed of the record reader against coreutils' base64 -d, on one 100 MB record file.
//
//   Velt_b64_bench [folder]   (default: the system's temporary folder)
//
// Prints MB/s (10^6 bytes of Base64 text per second, best of several runs) for: each decoder
// the processor can run (scalar, AVX2) alone on text in memory, the export as a host calls it
// (read, decode, split, with the decoder it chooses), and `base64 -d FILE > /dev/null` (read,
// decode, write), then the export's speed over coreutils', by the wall clock and by processor
// time (user and system; for coreutils that of the shell and base64).

#include "PersData.h"
#include <Base64Encode.h>

#include <Velt_b64.h>

#include <dlfcn.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr std::size_t kFileBytes = 100'000'000; // Base64 text, a multiple of 4
constexpr int kRuns = 5;

using vltest::Base64Encode;

// Seven short fields, then a tail of random bytes free of the separator, to a size of 75 MB.
std::string makeRecord() {
    std::string record = "Kowalski;Jan;Polna 1;00-950;Warszawa;PL;12345;";
    std::mt19937_64 rng(42);
    record.reserve(kFileBytes / 4 * 3);
    while (record.size() < kFileBytes / 4 * 3) {
        char c = static_cast<char>(rng() & 0xFF);
        record += c == ';' ? 'x' : c;
    }
    return record;
}

template <class F> double bestSeconds(F&& run, int runs = kRuns) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void report(const char* what, double seconds) {
    std::printf("%-44s %8.1f MB/s  (%.3f s)\n", what, kFileBytes / seconds / 1e6, seconds);
}

// Processor time (user and system) of this process, or of its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Times {
    double wall = 1e9;
    double cpu = 1e9;
};

// The least wall-clock and the least processor seconds of kRuns runs: on a busy machine the wall
// clock also counts the time spent waiting for a processor, the processor time does not.
template <class F> Times bestTimes(int who, F&& run) {
    Times best;
    for (int i = 0; i < kRuns; ++i) {
        const double cpu = cpuSeconds(who);
        const auto start = std::chrono::steady_clock::now();
        run();
        best.wall = std::min(best.wall,
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        best.cpu = std::min(best.cpu, cpuSeconds(who) - cpu);
    }
    return best;
}

void report(const char* what, Times times) {
    std::printf("%-44s %8.1f MB/s  (%.3f s, processor %.3f s)\n", what, kFileBytes / times.wall / 1e6,
                times.wall, times.cpu);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::filesystem::path file = folder / "velt_b64_bench.b64";

    const std::string text = Base64Encode(makeRecord());
    {
        std::ofstream out(file, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    std::printf("record file %s: %zu bytes of Base64\n", file.c_str(), text.size());

    for (const auto decoder : {Velt_b64::Base64Decoder::Scalar, Velt_b64::Base64Decoder::Avx2}) {
        if (!Velt_b64::Base64DecoderAvailable(decoder))
            continue;
        std::uint8_t status = 0;
        std::size_t decoded = 0;
        double seconds = 1e9;
        for (int i = 0; i < kRuns; ++i) {
            std::string copy = text; // decoded in place, so each run gets its own
            const auto run = [&] { decoded = Velt_b64::DecodeBase64With(decoder, copy, status).size(); };
            seconds = std::min(seconds, bestSeconds(run, 1));
        }
        if (status != 0 || decoded != text.size() / 4 * 3) {
            std::fprintf(stderr, "decoder failed: status %d, %zu bytes\n", status, decoded);
            return 1;
        }
        report(decoder == Velt_b64::Base64Decoder::Scalar ? "DecodeBase64, scalar (text in memory)"
                                                          : "DecodeBase64, AVX2 (text in memory)",
               seconds);
    }

    void* library = dlopen(VELT_B64_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto* call =
        reinterpret_cast<VBGetPersDataFromBase64File_t>(dlsym(library, "VBGetPersDataFromBase64File"));
    unsigned char callStatus = 0xFF;
    const char* field = nullptr;
    const Times exported = bestTimes(RUSAGE_SELF, [&] { field = call(5, file.c_str(), ";", &callStatus); });
    if (callStatus != 0 || !field || std::string(field) != "Warszawa") {
        std::fprintf(stderr, "export failed: status %d\n", callStatus);
        return 1;
    }
    report("VBGetPersDataFromBase64File (file, field 5)", exported);

    const std::string command = "base64 -d '" + file.string() + "' > /dev/null";
    int rc = 0;
    const Times coreutils = bestTimes(RUSAGE_CHILDREN, [&] { rc = std::system(command.c_str()); });
    if (rc != 0) {
        std::fprintf(stderr, "base64 -d failed: %d\n", rc);
        return 1;
    }
    report("coreutils base64 -d (file)", coreutils);
    std::printf("export / coreutils: %.2fx\n", coreutils.wall / exported.wall);
    std::printf("export / coreutils, processor time: %.2fx\n", coreutils.cpu / exported.cpu);

    dlclose(library);
    std::filesystem::remove(file);
    return 0;
}
