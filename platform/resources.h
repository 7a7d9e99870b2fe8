// Modules and their resources. A module is a resource-only PE DLL (the skin libraries) read into memory by
// LoadLibraryW; its resource directory is parsed with every offset checked, so a damaged file loads as
// nothing, with a log line. Paths may use either separator. The program's own module (GetModuleHandleW(NULL))
// and libraries that are not resource DLLs on this system (aygshell.dll and the like) have no resources and
// no entry points.
#pragma once

#include "platform/win_types.h"

HMODULE LoadLibraryW(LPCWSTR path);
BOOL FreeLibrary(HMODULE module);
HMODULE GetModuleHandleW(LPCWSTR name);
// Always null: no module carries code here.
void* GetProcAddressW(HMODULE module, LPCWSTR name);

// Names and types are integers (MAKEINTRESOURCEW, or "#123") or texts compared without regard to case.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// The resource's bytes, valid while the module stays loaded.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);
