#include "LibraryToolkit.h"

#include <vcl/Application.h>

#include <QApplication>

#include <cstdlib>
#include <dlfcn.h>

namespace VL_LIB32 {

namespace {

bool g_started = false; // the library called the toolkit's start-up

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt's objects made by the library's code outlive the call (the progress windows), so the
// library stays in memory from then on even when the host unloads it; Qt and its windows end
// with the process, as a program's do.
void StayLoaded() {
    Dl_info self;
    if (::dladdr(reinterpret_cast<void*>(&StayLoaded), &self) && self.dli_fname)
        ::dlopen(self.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace

bool ToolkitReady() {
    if (g_started)
        return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (QCoreApplication::instance()) {
        // A host's own Qt: only a widget application can show windows.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return false;
    } else {
        // Without a display Qt would end the host; no window is shown instead.
        if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY"))
            return false;
    }
    vcl::Application->Initialize();
    g_started = true;
    StayLoaded();
    return true;
}

} // namespace VL_LIB32
