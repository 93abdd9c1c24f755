#pragma once

#include <windows.h>

#include <string>

// The rights of what the client writes where another account could reach it.
//
// The install folder lies under the common application-data folder, whose
// default rights let every user create files in it: a DLL dropped beside the
// program would load into every user's client. The folder gets rights of
// its own instead: Administrators and SYSTEM full control, Users read and
// execute, nothing inherited from above.

// The install folder's rights as a security descriptor string.
inline constexpr wchar_t kInstallFolderRights[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// The settings file is shared by every user of the machine: Users may read
// and write it, but neither delete it nor change its rights.
inline constexpr wchar_t kSharedFileRights[] = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x12019f;;;BU)";

// Creates `folder` with `rights`, or gives an existing one those rights (its
// files then inherit them). True when the folder exists with them.
bool CreateFolderWithRights(const std::wstring& folder, const wchar_t* rights);

// Creates `file` (empty) if it is missing and gives it `rights`.
bool CreateFileWithRights(const std::wstring& file, const wchar_t* rights);

// A security descriptor that lets only the current user (and nobody it
// inherits from) open the object, for files such as crash dumps that hold
// the login cookie. Built once, while the process is sound; Attributes() is
// null when it could not be built.
class CCurrentUserOnly {
public:
    CCurrentUserOnly();
    ~CCurrentUserOnly();
    CCurrentUserOnly(const CCurrentUserOnly&) = delete;
    CCurrentUserOnly& operator=(const CCurrentUserOnly&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor != nullptr ? &m_attributes : nullptr; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
    SECURITY_ATTRIBUTES m_attributes{};
};
