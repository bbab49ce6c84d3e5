#include <runtime/LongString.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace rtl {

LongStringHeader* LStrHeader(LongString s) {
    return reinterpret_cast<LongStringHeader*>(s - sizeof(LongStringHeader));
}

LongString LStrNew(std::string_view bytes) {
    if (bytes.empty())
        return nullptr;
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX) - sizeof(LongStringHeader) - 1)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(sizeof(LongStringHeader) + bytes.size() + 1));
    if (!block)
        return nullptr;
    auto* header = reinterpret_cast<LongStringHeader*>(block);
    header->refCount = 1;
    header->length = static_cast<std::int32_t>(bytes.size());
    char* chars = block + sizeof(LongStringHeader);
    std::memcpy(chars, bytes.data(), bytes.size());
    chars[bytes.size()] = '\0';
    return chars;
}

void LStrAddRef(LongString s) {
    if (!s)
        return;
    std::atomic_ref<std::int32_t> count(LStrHeader(s)->refCount);
    if (count.load(std::memory_order_relaxed) == -1)
        return;
    count.fetch_add(1, std::memory_order_relaxed);
}

void LStrRelease(LongString s) {
    if (!s)
        return;
    LongStringHeader* header = LStrHeader(s);
    std::atomic_ref<std::int32_t> count(header->refCount);
    if (count.load(std::memory_order_relaxed) == -1)
        return;
    if (count.fetch_sub(1, std::memory_order_acq_rel) == 1)
        std::free(header);
}

void LStrAssign(LongString* variable, LongString value) {
    LongString stored = value;
    if (value && LStrHeader(value)->refCount == -1)
        stored = LStrNew(LStrView(value));
    else
        LStrAddRef(value);
    LongString old = *variable;
    *variable = stored;
    LStrRelease(old);
}

std::int32_t LStrLength(LongString s) {
    return s ? LStrHeader(s)->length : 0;
}

std::string_view LStrView(LongString s) {
    return s ? std::string_view(s, static_cast<std::size_t>(LStrHeader(s)->length)) : std::string_view();
}

} // namespace rtl
