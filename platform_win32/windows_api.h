// <windows.h> as this program's Win32 code includes it. Our interfaces name methods after the
// Win32 calls they stand for (CreateEvent, GetWindowText, LoadIcon, PeekMessage ...), and
// windows.h turns several of those names into macros for its A/W variants: they are undone
// here, and the Win32 code calls the A functions by their full names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CreateEvent
#undef GetWindowText
#undef SetWindowText
#undef LoadIcon
#undef LoadMenu
#undef PeekMessage
#undef GetMessage
#undef DispatchMessage
#undef SendMessage
#undef PostMessage
#undef IsDialogMessage
#undef DrawText
