// The library's one export, bound by host programs by name.

#include "PersData.h"

#include <Velt_b64.h>
#include <runtime/Export.h>

#include <new>
#include <string>

#include <pthread.h>

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
// Kept under a thread key rather than in a thread_local string: a thread_local with a
// destructor would keep the library mapped after the host's dlclose.
class LastField {
  public:
    LastField() {
        m_ready =
            ::pthread_key_create(&m_key, [](void* text) { delete static_cast<std::string*>(text); }) == 0;
    }
    ~LastField() {
        if (!m_ready)
            return;
        // The unloading thread's text goes now; a thread still running keeps its few bytes.
        delete static_cast<std::string*>(::pthread_getspecific(m_key));
        ::pthread_key_delete(m_key);
    }
    // The calling thread's text, or null when no key could be made.
    std::string* Mine() {
        if (!m_ready)
            return nullptr;
        auto* text = static_cast<std::string*>(::pthread_getspecific(m_key));
        if (!text) {
            text = new std::string;
            if (::pthread_setspecific(m_key, text) != 0) {
                delete text;
                return nullptr;
            }
        }
        return text;
    }

  private:
    pthread_key_t m_key{};
    bool m_ready = false;
};

LastField g_lastField;

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
    std::string* kept = g_lastField.Mine();
    if (!kept) {
        if (Status != nullptr)
            *Status = Velt_b64::StatusOutOfMemory;
        return nullptr;
    }
    *kept = std::move(field);
    return kept->c_str();
}
