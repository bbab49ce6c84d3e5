#include "VELTWin32Code.h"

#include "vl_lib32.h"

#include <VL_LIB32.h>
#include <runtime/Export.h>
#include <runtime/SysUtils.h>

#include <algorithm>
#include <iterator>

namespace VL_LIB32 {

std::uint32_t RandSeed;

namespace {

constexpr std::int32_t RandomRange = 9999;

// Taken once while the library loads.
const win::DWORD LoadedPlatformId = [] {
    win::OSVERSIONINFOA info;
    return win::GetVersionExA(&info) ? info.dwPlatformId : 0;
}();

const win::HKEY RootKeys[] = {
    win::HKEY_CLASSES_ROOT,     win::HKEY_CURRENT_USER,   win::HKEY_LOCAL_MACHINE, win::HKEY_USERS,
    win::HKEY_PERFORMANCE_DATA, win::HKEY_CURRENT_CONFIG, win::HKEY_DYN_DATA,
};

ReturnedText HexNameText;
ReturnedText RegistryText;

// Closes an opened key on every way out.
class OpenKey {
  public:
    OpenKey(win::HKEY root, const std::string& path) {
        m_open = win::RegOpenKeyExA(root, path.c_str(), 0, win::KEY_READ, &m_key) == win::ERROR_SUCCESS;
    }
    ~OpenKey() {
        if (m_open)
            win::RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool IsOpen() const { return m_open; }
    win::HKEY Key() const { return m_key; }

  private:
    win::HKEY m_key = 0;
    bool m_open = false;
};

} // namespace

void Randomize() {
    std::int64_t counter;
    if (win::QueryPerformanceCounter(&counter))
        RandSeed = static_cast<std::uint32_t>(counter);
    else
        RandSeed = win::GetTickCount();
}

std::int32_t Random(std::int32_t range) {
    RandSeed = RandSeed * 0x08088405u + 1;
    return static_cast<std::int32_t>(
        (static_cast<std::uint64_t>(RandSeed) * static_cast<std::uint32_t>(range)) >> 32);
}

std::string HexName(std::int32_t number) {
    return rtl::Format("%4.4x", {number});
}

bool UsingWinNT() {
    return LoadedPlatformId == win::VER_PLATFORM_WIN32_NT;
}

win::HKEY RootKey(std::int32_t rootIndex) {
    const auto index = static_cast<std::uint32_t>(rootIndex);
    return index < std::size(RootKeys) ? RootKeys[index] : win::HKEY_CURRENT_USER;
}

std::string ReadRegistryString(win::HKEY root, std::string_view keyPath, std::string_view valueName) {
    if (!keyPath.empty() && keyPath.front() == '\\')
        keyPath.remove_prefix(1);
    const OpenKey key(root, std::string(keyPath));
    if (!key.IsOpen())
        return {};

    const std::string name(valueName);
    win::DWORD type = 0;
    win::DWORD size = 0;
    if (win::RegQueryValueExA(key.Key(), name.c_str(), nullptr, &type, nullptr, &size) !=
            win::ERROR_SUCCESS ||
        size == 0)
        return {};

    std::string data(size, '\0');
    if (win::RegQueryValueExA(key.Key(), name.c_str(), nullptr, &type,
                              reinterpret_cast<win::BYTE*>(data.data()), &size) != win::ERROR_SUCCESS)
        return {};
    if (type != win::REG_SZ && type != win::REG_EXPAND_SZ)
        return {};
    data.resize(std::min<std::size_t>(size, data.size()));
    if (const auto zero = data.find('\0'); zero != std::string::npos)
        data.resize(zero);
    return data;
}

} // namespace VL_LIB32

using namespace VL_LIB32;

VL_EXPORT std::int32_t VL_STDCALL DeGetRandomNum() {
    return Guarded<std::int32_t>(0, [] {
        Randomize();
        return Random(RandomRange);
    });
}

VL_EXPORT void VL_STDCALL DeGetHexRandomName(rtl::LongString* result) {
    Guarded([&] {
        Randomize();
        StoreResult(result, HexName(Random(RandomRange)));
    });
}

VL_EXPORT const char* VL_STDCALL VbGetHexRandomName() {
    return Guarded<const char*>("", [] {
        Randomize();
        return HexNameText.Set(HexName(Random(RandomRange)));
    });
}

VL_EXPORT std::uint8_t VL_STDCALL DeUsingWinNT() {
    return UsingWinNT() ? 1 : 0;
}

VL_EXPORT std::int32_t VL_STDCALL VbUsingWinNT() {
    return (DeUsingWinNT() & 0xFF) != 0 ? 1 : 0;
}

VL_EXPORT void VL_STDCALL DeGetRegistryStrValue(rtl::LongString* result, std::int32_t RootIndex,
                                                rtl::LongString KeyPath, rtl::LongString ValueName) {
    Guarded([&] {
        const StringArg keyPath(KeyPath);
        const StringArg valueName(ValueName);
        StoreResult(result, ReadRegistryString(RootKey(RootIndex), keyPath.View(), valueName.View()));
    });
}

VL_EXPORT const char* VL_STDCALL VbGetRegistryStrValue(std::int32_t RootIndex, const char* KeyPath,
                                                       const char* ValueName) {
    return Guarded<const char*>("", [&] {
        const OwnedString keyPath(TextArg(KeyPath));
        const OwnedString valueName(TextArg(ValueName));
        OwnedString value({});
        DeGetRegistryStrValue(value.Variable(), RootIndex, keyPath.Value(), valueName.Value());
        return RegistryText.Set(rtl::LStrView(value.Value()));
    });
}
