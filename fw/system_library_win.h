#pragma once

#include <string>

#include "fw/handles_win.h"

namespace fw {

// Loads `name` (a DLL file name such as L"dbghelp.dll") from the system
// folder by its full path, never from beside the program or the current
// folder. Empty when it cannot be loaded.
ScopedModule LoadSystemLibrary(const std::wstring& name);

// The address of `function` in `module` as a `Fn` pointer; nullptr when the
// module is not loaded or lacks it.
template <class Fn>
Fn SystemFunction(const ScopedModule& module, const char* function) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), function)));
}

}  // namespace fw
