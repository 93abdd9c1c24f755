#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/code_page.h"

// The batch that deletes the uninstalled program once it has exited: it
// retries the delete about once a second, a bounded number of times, removes
// the program's folder when the program was its only file, then deletes the
// file its name was reserved with and itself.

namespace self_delete {

// The batch text's buffer; a text that would not fit is not written at all,
// since a cut line could name some other file.
inline constexpr size_t kTextMax = 2048;

// Pings between delete attempts: the first answers at once, the second
// after a second, so the loop waits instead of spinning.
inline constexpr int kPingCount = 2;

// About a minute of attempts: a program that another process still runs, or
// that some other account holds, is left in place rather than retried
// unseen until logoff.
inline constexpr int kAttempts = 60;

}  // namespace self_delete

// True when the path can stand in a batch line and name only itself: a full
// path (drive or UNC), no quote, wildcard, redirection or control character,
// no "." or ".." component.
bool IsBatchSafePath(const std::wstring& path);

struct SelfDeletePaths {
    std::wstring program;
    std::wstring batch;
    // The empty file that reserved the batch's unique name; empty for none.
    std::wstring reserved;
};

// The batch text in `codePage` (the one cmd reads batch files in: the OEM
// one), or none when a path is not batch-safe, has no exact form in that
// code page, or the text would not fit. The program's folder is removed
// (only when empty: "rd" without "/S") when `filesInFolder` is at most 1 and
// the folder is not a drive or share root.
std::optional<std::string> SelfDeleteBatch(const SelfDeletePaths& paths, int filesInFolder, const ICodePage& codePage,
                                           int attempts = self_delete::kAttempts);
