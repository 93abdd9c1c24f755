#pragma once

#include <string>
#include <string_view>

// Rules for the names and texts of the shortcut (".lnk") and favourite
// (".url") files the client writes into shell folders.

// True when `name` can stand as one file name inside a folder: not empty, no
// path separator or other character Windows refuses in names, not "." or
// "..", and not a device name (CON, NUL, COM1...), which would open the device
// whatever extension follows. A name that fails would write outside the
// folder, or nowhere.
bool IsPlainFileName(std::wstring_view name);

// The text the favourite name edit yields: the first 127 characters, without
// a lone half of a surrogate pair at the cut.
std::wstring FavouriteNameFromEdit(std::wstring_view editText);

// The longest favourite file text, in characters and in bytes once converted
// to the ANSI code page: the shell reads the file with this bound.
constexpr size_t kFavouriteTextMax = 512;

// The favourite file's text for `url`, cut at kFavouriteTextMax characters
// (never inside a surrogate pair).
std::wstring FavouriteText(std::wstring_view url);

// The desktop shortcut's description: the portal's host name (without a
// port) followed by the portal's tag line.
std::wstring DesktopShortcutDescription(std::wstring_view portalHost);
