#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The seam over one profile ("ini") file: the program reads and writes it
// through the system's profile functions, native tests through a map.
class IProfileStore {
public:
    virtual ~IProfileStore() = default;

    // The stored value, or `defaultValue` when the key is absent; at most
    // `bufferChars` - 1 characters, as a read into a buffer of that size.
    virtual std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                              size_t bufferChars) const = 0;

    // False when the value could not be stored (no folder, no access).
    virtual bool Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
};
