// The library's one export, bound by host programs by name.

#include "PersData.h"

#include <Velt_b64.h>
#include <runtime/Export.h>

#include <string>

// The host header's status codes are the reader's own.
constexpr bool sameStatus(int host, Velt_b64::Status own) {
    return host == static_cast<int>(own);
}
static_assert(sameStatus(VB_STATUS_OK, Velt_b64::StatusOk) &&
              sameStatus(VB_STATUS_BAD_INDEX, Velt_b64::StatusBadIndex) &&
              sameStatus(VB_STATUS_NO_FILE, Velt_b64::StatusNoFile) &&
              sameStatus(VB_STATUS_EMPTY_FILE, Velt_b64::StatusEmptyFile) &&
              sameStatus(VB_STATUS_BAD_LENGTH, Velt_b64::StatusBadLength) &&
              sameStatus(VB_STATUS_BAD_RECORD, Velt_b64::StatusBadRecord) &&
              sameStatus(VB_STATUS_CANNOT_OPEN, Velt_b64::StatusCannotOpen) &&
              sameStatus(VB_STATUS_OUT_OF_MEMORY, Velt_b64::StatusOutOfMemory) &&
              sameStatus(VB_STATUS_FAILURE, Velt_b64::StatusFailure));

namespace {

// The text the last call returned; the host reads it after the call and never frees it. One
// per calling thread, so that hosts calling from several threads never see each other's text.
thread_local std::string g_lastField;

} // namespace

VL_EXPORT const char* VL_STDCALL VBGetPersDataFromBase64File(unsigned int Index, const char* FileName,
                                                             const char* Separator, unsigned char* Status) {
    std::uint8_t status = Velt_b64::StatusFailure;
    std::string field =
        Velt_b64::ReadPersDataField(static_cast<std::uint8_t>(Index & 0xFF), FileName, Separator, status);
    // A host that passes no status byte still gets its result rather than a crash.
    if (Status != nullptr)
        *Status = status;
    if (field.empty())
        return nullptr;
    g_lastField = std::move(field);
    return g_lastField.c_str();
}
