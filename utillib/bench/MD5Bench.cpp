// MD5 through the library's exports against coreutils md5sum and openssl md5, in one run:
// a 256 MB text and a 32-byte text per call. Run from a build without sanitizers.

#include "BenchHost.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace {

char* HostString(std::size_t length, std::uint32_t seed) {
    auto* block = static_cast<char*>(std::malloc(8 + length + 1));
    const std::int32_t count = 1, size = static_cast<std::int32_t>(length);
    std::memcpy(block, &count, 4);
    std::memcpy(block + 4, &size, 4);
    char* chars = block + 8;
    for (std::size_t i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        chars[i] = static_cast<char>(' ' + (seed >> 16) % 95); // printable text
    }
    chars[length] = '\0';
    return chars;
}

void HostRelease(char* s) {
    if (s)
        std::free(s - 8); // the benchmark holds the only reference
}

} // namespace

int main(int, char** argv) try {
    void* library = bench::LoadLibrary(argv[0]);
    auto deMD5 = bench::Export<decltype(::DeMD5String)>(library, "DeMD5String");
    auto vbMD5 = bench::Export<decltype(::VbMD5String)>(library, "VbMD5String");

    const std::size_t size = 256u << 20;
    char* text = HostString(size, 1);
    char path[] = "/tmp/vl_md5bench_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size))
        throw std::runtime_error("cannot write the text file");
    close(fd);
    const double mb = static_cast<double>(size) / 1e6;

    char* digest = nullptr;
    const double ours = bench::Best(3, [&] { deMD5(&digest, text); });
    std::string md5sumOut, opensslOut;
    // The tools read the file from the page cache (warmed by the first run).
    const double md5sum = bench::Best(3, [&] { md5sumOut = bench::Run(std::string("md5sum ") + path); });
    const double openssl =
        bench::Best(3, [&] { opensslOut = bench::Run(std::string("openssl md5 -r ") + path); });
    const std::string ourDigest(digest, 32);
    std::printf("MD5 of a %zu MB text (best of 3)\n", size >> 20);
    std::printf("  DeMD5String   %8.1f MB/s  %s\n", mb / ours, ourDigest.c_str());
    std::printf("  md5sum        %8.1f MB/s  %.32s\n", mb / md5sum, md5sumOut.c_str());
    std::printf("  openssl md5   %8.1f MB/s  %.32s\n", mb / openssl, opensslOut.c_str());
    const bool same = md5sumOut.compare(0, 32, ourDigest) == 0 && opensslOut.compare(0, 32, ourDigest) == 0;
    std::printf("  digests agree: %s; goal (>= md5sum, >= 90%% of openssl): %s\n", same ? "yes" : "NO",
                ours <= md5sum && ours <= openssl / 0.9 ? "met" : "missed");
    unlink(path);
    HostRelease(text);

    // A short text: the whole export per call (reference, digest, new result block, old freed).
    char* shortText = HostString(32, 7);
    const int calls = 2'000'000;
    const double perDe = bench::Best(3,
                                     [&] {
                                         for (int i = 0; i < calls; ++i)
                                             deMD5(&digest, shortText);
                                     }) /
                         calls * 1e9;
    char buffer[33];
    const double perVb = bench::Best(3,
                                     [&] {
                                         for (int i = 0; i < calls; ++i)
                                             vbMD5(shortText, buffer);
                                     }) /
                         calls * 1e9;
    std::printf("MD5 of a 32-byte text\n");
    std::printf("  DeMD5String   %8.1f ns/call\n", perDe);
    std::printf("  VbMD5String   %8.1f ns/call\n", perVb);
    // A 32-byte text is one 64-byte block after padding: its transform alone is the floor.
    std::printf("  one block's transform at the bulk rate: %.1f ns\n", 64 / (mb / ours) * 1e3);
    std::printf("  goal (< 150 ns): %s\n", perDe < 150 && perVb < 150 ? "met" : "missed");
    HostRelease(shortText);
    HostRelease(digest);
    dlclose(library);
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
}
