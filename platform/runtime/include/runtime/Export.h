#pragma once

// How the shared libraries export their functions to host programs: by exact, undecorated name,
// with the platform's stdcall convention where the target has one (32-bit x86) and the C
// convention elsewhere. Everything not marked VL_EXPORT stays hidden (-fvisibility=hidden).

#if defined(__i386__)
#define VL_STDCALL __attribute__((stdcall))
#else
#define VL_STDCALL
#endif

#ifdef __cplusplus
#define VL_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define VL_EXPORT __attribute__((visibility("default")))
#endif
