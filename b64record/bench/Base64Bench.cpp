// Decoding speed of the record reader against coreutils' base64 -d, on one 100 MB record file.
//
//   Velt_b64_bench [folder]   (default: the system's temporary folder)
//
// Prints MB/s (10^6 bytes of Base64 text per second, best of several runs) for: each decoder
// the processor can run (scalar, AVX2) alone on text in memory, the export as a host calls it
// (read, decode, split, with the decoder it chooses), and `base64 -d FILE > /dev/null` (read,
// decode, write), then the export's speed over coreutils'.

#include "PersData.h"
#include <Base64Encode.h>

#include <Velt_b64.h>

#include <dlfcn.h>

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
    const double exported = bestSeconds([&] { field = call(5, file.c_str(), ";", &callStatus); });
    if (callStatus != 0 || !field || std::string(field) != "Warszawa") {
        std::fprintf(stderr, "export failed: status %d\n", callStatus);
        return 1;
    }
    report("VBGetPersDataFromBase64File (file, field 5)", exported);

    const std::string command = "base64 -d '" + file.string() + "' > /dev/null";
    int rc = 0;
    const double coreutils = bestSeconds([&] { rc = std::system(command.c_str()); });
    if (rc != 0) {
        std::fprintf(stderr, "base64 -d failed: %d\n", rc);
        return 1;
    }
    report("coreutils base64 -d (file)", coreutils);
    std::printf("export / coreutils: %.2fx\n", coreutils / exported);

    dlclose(library);
    std::filesystem::remove(file);
    return 0;
}
