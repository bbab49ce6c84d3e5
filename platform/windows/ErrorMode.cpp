#include <windows/ErrorMode.h>

#include <atomic>

namespace win {

namespace {
std::atomic<UINT> g_mode{0};
} // namespace

UINT SetErrorMode(UINT mode) {
    return g_mode.exchange(mode);
}

UINT GetErrorMode() {
    return g_mode.load();
}

} // namespace win
