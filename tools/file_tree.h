#pragma once

#include <string>

// Small file-tree helpers that cache cleaning and the downloader are built on.

// Deletes a folder with everything below it; read-only files lose that
// attribute first. Links (junctions, symbolic links) are removed themselves,
// never followed: a `path` that is a link removes only the link. False for
// an empty or missing path, or when a file or the folder itself stays behind
// (the thread's last error then says why).
bool DeleteTree(const std::wstring& path);

// Counts the non-folder entries below `path`. An empty path counts 0; a
// folder that cannot be listed (a missing one, or a file) counts as 1.
int CountFiles(const std::wstring& path);

// Splits at the last backslash or, when there is none, the last forward
// slash. False when the path has neither; either output may be null.
bool SplitPath(const std::wstring& path, std::wstring* folder, std::wstring* name);
