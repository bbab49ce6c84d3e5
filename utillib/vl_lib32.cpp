#include "vl_lib32.h"

namespace VL_LIB32 {

char ResultBuffer[ResultBufferSize];
rtl::LongString FolderText;
rtl::LongString CaptionText;
rtl::LongString RootText;

void StoreResult(rtl::LongString* variable, std::string_view bytes) {
    if (!variable)
        return;
    rtl::LongString fresh = rtl::LStrNew(bytes);
    rtl::LongString old = *variable;
    *variable = fresh;
    rtl::LStrRelease(old);
}

namespace {

// Unloading gives the module strings back; the result buffer is plain storage and stays.
__attribute__((destructor)) void ReleaseModuleStrings() {
    for (rtl::LongString* text : {&RootText, &CaptionText, &FolderText}) {
        rtl::LStrRelease(*text);
        *text = nullptr;
    }
}

} // namespace

} // namespace VL_LIB32
