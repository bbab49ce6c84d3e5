#pragma once

// The widget toolkit for the library's windows. A host that runs Qt lends the library its
// application; otherwise the library makes one of its own the first time a window is wanted
// (not at load, so that a host that never asks for a window never starts Qt). From then on the
// library stays in memory until the process ends, as its windows may.
//
// Qt's objects then live on the host's thread and run on Qt's GLib event dispatcher: the host's
// GLib main loop (GTK programs run one; a plain C host may call g_main_context_iteration) serves
// the windows once an export has returned. The library runs no loop and no thread of its own.

namespace VL_LIB32 {

// True when windows can be shown: a Qt application is there, or one could be made (a display,
// or a Qt platform named in QT_QPA_PLATFORM).
bool ToolkitReady();

} // namespace VL_LIB32
