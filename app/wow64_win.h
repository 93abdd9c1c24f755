#pragma once

// True when this is a 32-bit process on 64-bit Windows. IsWow64Process is
// looked up at run time: systems without it are never WOW64.
bool IsRunningUnderWow64();
