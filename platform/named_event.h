// Named events. The program sets "BackLightChangeEvent" and "PowerManager/ReloadActivityTimeouts" after every
// repaint so that the device stays awake; here each set of those counts as user activity (the display keeps the
// screen awake) and is counted for tests.
#pragma once

#include <string>

#include "platform/win_types.h"

inline constexpr DWORD EVENT_PULSE = 1;
inline constexpr DWORD EVENT_RESET = 2;
inline constexpr DWORD EVENT_SET = 3;

// The same name gives the same event; each handle is closed with CloseHandle.
HANDLE CreateEventW(void* security, BOOL manual_reset, BOOL initial_state, LPCWSTR name);
BOOL EventModify(HANDLE event, DWORD action);
BOOL CloseHandle(HANDLE handle);

namespace platform {

// How often an event of this name was set (or pulsed) in this process.
int event_set_count(const std::wstring& name);

} // namespace platform
