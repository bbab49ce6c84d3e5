#include <net/IdAntiFreeze.h>

#include <net/IdException.h>

#include <runtime/MessagePump.h>

#include <algorithm>

namespace net {

namespace {
TIdAntiFreeze* g_instance = nullptr;
}

TIdAntiFreeze::TIdAntiFreeze() {
    if (g_instance)
        throw EIdException("Only one TIdAntiFreeze can exist per application.");
    g_instance = this;
}

TIdAntiFreeze::~TIdAntiFreeze() {
    if (g_instance == this)
        g_instance = nullptr;
}

void TIdAntiFreeze::SetIdleTimeOut(int ms) {
    m_idleTimeOut = std::clamp(ms, 1, 250);
}

void TIdAntiFreeze::DoProcess(bool idle) {
    TIdAntiFreeze* af = g_instance;
    if (!af || !af->m_active)
        return;
    if (!idle && af->m_onlyWhenIdle)
        return;
    rtl::PumpMessages();
}

int TIdAntiFreeze::SliceMs() {
    return g_instance ? g_instance->m_idleTimeOut : 20;
}

} // namespace net
