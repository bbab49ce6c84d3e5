#include <runtime/MessagePump.h>

namespace rtl {

namespace {
std::function<void()>& pump() {
    static std::function<void()> p;
    return p;
}
} // namespace

void SetMessagePump(std::function<void()> p) {
    pump() = std::move(p);
}

void PumpMessages() {
    if (auto& p = pump())
        p();
}

bool HasMessagePump() {
    return static_cast<bool>(pump());
}

} // namespace rtl
