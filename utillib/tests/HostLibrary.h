#pragma once

// The library as a host program sees it: loaded with dlopen, each export bound by its name,
// strings built and released the way a host builds them (malloc'd blocks, count before length).

#include <VL_LIB32.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hosttest {

class HostLibrary {
  public:
    HostLibrary() {
        const char* bin = std::getenv("VL_BIN_DIR");
        const std::string path = std::string(bin ? bin : ".") + "/libVL_LIB32.so";
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle)
            throw std::runtime_error(std::string("dlopen: ") + dlerror());
    }
    ~HostLibrary() {
        if (m_handle)
            dlclose(m_handle);
    }
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    // The export of that exact name, as the given function type.
    template <typename Fn> Fn* Export(const char* name) const {
        void* symbol = dlsym(m_handle, name);
        if (!symbol)
            throw std::runtime_error(std::string("missing export ") + name);
        return reinterpret_cast<Fn*>(symbol);
    }

  private:
    void* m_handle = nullptr;
};

// A host's string block: malloc'd, count 1, length, characters, one 0 byte.
inline char* HostString(std::string_view bytes) {
    if (bytes.empty())
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(8 + bytes.size() + 1));
    const std::int32_t count = 1, length = static_cast<std::int32_t>(bytes.size());
    std::memcpy(block, &count, 4);
    std::memcpy(block + 4, &length, 4);
    std::memcpy(block + 8, bytes.data(), bytes.size());
    block[8 + bytes.size()] = '\0';
    return block + 8;
}

inline std::int32_t Count(const char* s) {
    std::int32_t count;
    std::memcpy(&count, s - 8, 4);
    return count;
}

inline std::int32_t Length(const char* s) {
    std::int32_t length;
    std::memcpy(&length, s - 4, 4);
    return length;
}

inline std::string_view View(const char* s) {
    return s ? std::string_view(s, static_cast<std::size_t>(Length(s))) : std::string_view();
}

// The host's release of one reference (the last one frees the block).
inline void HostRelease(char* s) {
    if (!s || Count(s) == -1)
        return;
    const std::int32_t count = Count(s) - 1;
    if (count == 0)
        std::free(s - 8);
    else
        std::memcpy(s - 8, &count, 4);
}

// A host's string variable, released when it goes out of scope.
struct HostVariable {
    char* value = nullptr;
    HostVariable() = default;
    explicit HostVariable(std::string_view bytes) : value(HostString(bytes)) {}
    ~HostVariable() { HostRelease(value); }
    HostVariable(const HostVariable&) = delete;
    HostVariable& operator=(const HostVariable&) = delete;
    std::string_view View() const { return hosttest::View(value); }
};

// A string literal of the host, laid out in static storage with count -1.
template <std::size_t N> struct HostConstant {
    std::int32_t count = -1;
    std::int32_t length = N - 1;
    char chars[N];
    constexpr HostConstant(const char (&text)[N]) : chars{} {
        for (std::size_t i = 0; i < N; ++i)
            chars[i] = text[i];
    }
    char* value() { return chars; }
};

} // namespace hosttest
