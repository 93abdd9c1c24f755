#pragma once

// CIcons: the program's icon group copied out of an executable and written as
// an .ico file, for the shortcuts the install step makes.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/icon_file.h"

class CIcons {
public:
    // Reads icon group 128 of `path` (loaded as a data file). Problems are
    // told to the user in a system message box, as the install step expects.
    BOOL ReadIconGroup(const std::wstring& path);
    // Writes the group read last as an .ico file; the file appears only
    // complete (written beside and renamed into place).
    BOOL WriteIconFile(const std::wstring& path) const;

    const std::wstring& SourceName() const { return m_source; }
    const std::vector<icon::Image>& Images() const { return m_images; }

private:
    std::wstring m_source;
    std::wstring m_secondName;
    std::vector<icon::Image> m_images;
};
