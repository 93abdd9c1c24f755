#pragma once

#include <string>

// Writes the favourite ".url" file `name`.url into `folder` for `url`, in the
// ANSI code page the shell reads it with. The file goes to a temporary in the
// same folder first and is moved into place. False, with no file written,
// for a name that is not a plain file name or when writing fails.
bool WriteFavouriteFile(const std::wstring& folder, const std::wstring& name, const std::wstring& url);

// The same into the user's favourites folder.
bool WriteFavourite(const std::wstring& name, const std::wstring& url);
