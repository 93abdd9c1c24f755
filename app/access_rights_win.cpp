#include "app/access_rights_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "fw/handles_win.h"

namespace {

// LocalFree for what the SDDL conversions allocate.
class CLocalDescriptor {
public:
    explicit CLocalDescriptor(const wchar_t* sddl) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &m_descriptor, nullptr)) {
            m_descriptor = nullptr;
        }
    }
    ~CLocalDescriptor() {
        if (m_descriptor != nullptr) LocalFree(m_descriptor);
    }
    CLocalDescriptor(const CLocalDescriptor&) = delete;
    CLocalDescriptor& operator=(const CLocalDescriptor&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }
    PACL Dacl() const {
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        if (m_descriptor == nullptr || !GetSecurityDescriptorDacl(m_descriptor, &present, &dacl, &defaulted)) {
            return nullptr;
        }
        return present ? dacl : nullptr;
    }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

// Protected: the rights of the folder above are not merged in.
bool ApplyRights(const std::wstring& path, const CLocalDescriptor& descriptor) {
    PACL dacl = descriptor.Dacl();
    if (dacl == nullptr) return false;
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 dacl, nullptr) == ERROR_SUCCESS;
}

}  // namespace

bool CreateFolderWithRights(const std::wstring& folder, const wchar_t* rights) {
    const CLocalDescriptor descriptor(rights);
    if (descriptor.Get() == nullptr) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.Get(), FALSE};
    if (CreateDirectoryW(folder.c_str(), &attributes)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const DWORD found = GetFileAttributesW(folder.c_str());
    // A file, or a link some other account placed there, is not our folder.
    if (found == INVALID_FILE_ATTRIBUTES || (found & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (found & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    // A folder made by an older install, or by an account that got there
    // first, keeps no rights of its own making.
    return ApplyRights(folder, descriptor);
}

bool CreateFileWithRights(const std::wstring& file, const wchar_t* rights) {
    const CLocalDescriptor descriptor(rights);
    if (descriptor.Get() == nullptr) return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.Get(), FALSE};
    fw::ScopedKernelHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) return true;
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
    return ApplyRights(file, descriptor);
}

CCurrentUserOnly::CCurrentUserOnly() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
    const fw::ScopedKernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return;
    wchar_t* sid = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) return;
    const std::wstring sddl = std::wstring(L"D:P(A;;FA;;;") + sid + L")";
    LocalFree(sid);
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &m_descriptor, nullptr)) {
        m_descriptor = nullptr;
        return;
    }
    m_attributes = {sizeof m_attributes, m_descriptor, FALSE};
}

CCurrentUserOnly::~CCurrentUserOnly() {
    if (m_descriptor != nullptr) LocalFree(m_descriptor);
}
