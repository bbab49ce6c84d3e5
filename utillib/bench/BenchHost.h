#pragma once

// What the benchmarks share: the library loaded as a host loads it, wall-clock timing and
// running the command-line tools they are measured against.

#include <VL_LIB32.h>

#include <dlfcn.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bench {

// libVL_LIB32.so from the folder the benchmark program lies in.
inline void* LoadLibrary(const char* argv0) {
    std::string folder = argv0;
    const auto slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : folder.substr(0, slash);
    void* handle = dlopen((folder + "/libVL_LIB32.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error(std::string("dlopen: ") + dlerror());
    return handle;
}

template <typename Fn> Fn* Export(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    if (!symbol)
        throw std::runtime_error(std::string("missing export ") + name);
    return reinterpret_cast<Fn*>(symbol);
}

// Seconds taken by the fastest of `runs` calls of `work`.
template <typename Work> double Best(int runs, Work&& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < best)
            best = seconds;
    }
    return best;
}

// Processor seconds (user and system) of this process (RUSAGE_SELF) or of its waited-for
// children (RUSAGE_CHILDREN): unlike the wall clock, they leave out the time spent waiting for
// a processor on a busy machine.
inline double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A shell command's standard output (the tools' results are checked, not only timed).
inline std::string Run(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

} // namespace bench
