#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/code_page.h"

// The batch that deletes the uninstalled program once it has exited: it
// retries the delete every second until the file is gone, removes the
// program's folder when the program was its only file, then deletes itself.

namespace self_delete {

// The batch text's buffer; a text that would not fit is not written at all,
// since a cut line could name some other file.
inline constexpr size_t kTextMax = 2048;

// Pings between delete attempts: the first answers at once, the second
// after a second, so the loop waits instead of spinning.
inline constexpr int kPingCount = 2;

}  // namespace self_delete

// True when the path can stand in a batch line and name only itself: a full
// path (drive or UNC), no quote, wildcard, redirection or control character,
// no "." or ".." component.
bool IsBatchSafePath(const std::wstring& path);

// The batch text in the code page, or none when a path is not batch-safe, has
// no exact form in the code page, or the text would not fit. The folder of
// `programPath` is removed (only when empty: "rd" without "/S") when
// `filesInFolder` is at most 1 and the folder is not a drive or share root.
std::optional<std::string> SelfDeleteBatch(const std::wstring& programPath, const std::wstring& batchPath,
                                           int filesInFolder, const ICodePage& codePage);
