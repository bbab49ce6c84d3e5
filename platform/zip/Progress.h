#pragma once

// The counts a job reports while it runs, and the pace at which it calls its caller back.

#include <zip/ZipLibrary.h>

#include <atomic>
#include <chrono>
#include <cstdint>

namespace ziplib {

struct Counters {
    std::atomic<std::uint64_t> files{0};
    std::atomic<std::uint64_t> bytes{0};

    void reset() {
        files.store(0);
        bytes.store(0);
    }
};

// Calls back on the caller's thread when the counts moved, no more than about thirty times a
// second (a window update per small file would cost more than the file), and once at the end.
class CallbackPacer {
  public:
    CallbackPacer(ProgressCallback callback, const Counters& counters)
        : m_callback(callback), m_counters(counters) {}

    void Tick() {
        if (!m_callback)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_last < kInterval || !moved())
            return;
        m_last = now;
        call();
    }
    void Finish() {
        if (m_callback)
            call();
    }

  private:
    static constexpr std::chrono::milliseconds kInterval{33};

    bool moved() const {
        return m_counters.files.load() != m_files || m_counters.bytes.load() != m_bytes;
    }
    void call() {
        m_files = m_counters.files.load();
        m_bytes = m_counters.bytes.load();
        m_callback();
    }

    ProgressCallback m_callback;
    const Counters& m_counters;
    std::chrono::steady_clock::time_point m_last{};
    std::uint64_t m_files = 0;
    std::uint64_t m_bytes = 0;
};

} // namespace ziplib
