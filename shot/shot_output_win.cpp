#include "shot/shot_output_win.h"

#include <commdlg.h>

#include <cstring>
#include <optional>
#include <vector>

#include "fw/system_library_win.h"
#include "shot/bmp_file.h"

namespace {

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// Writes `chunks` to a new file in the target's folder and moves it over the
// target only once all of it is on disk.
bool WriteReplacing(const std::wstring& path, const std::vector<std::pair<const void*, std::size_t>>& chunks) {
    wchar_t temporary[MAX_PATH];
    if (GetTempFileNameW(FolderOf(path).c_str(), L"cvs", 0, temporary) == 0) return false;
    bool written = false;
    {
        fw::ScopedKernelHandle file(
            CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            written = true;
            for (const auto& [data, size] : chunks) written = written && WriteAll(file.Get(), data, size);
            written = written && FlushFileBuffers(file.Get());
        }
    }
    if (written && MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary);
    return false;
}

}  // namespace

bool PutBitmapOnClipboard(HWND owner, fw::ScopedBitmap bitmap) {
    if (!bitmap || !OpenClipboard(owner)) return false;
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_BITMAP, bitmap.Get()) != nullptr;
    if (taken) (void)bitmap.Take();
    CloseClipboard();
    return taken;
}

bool WriteBitmapAsBmp(HBITMAP bitmap, const std::wstring& path) {
    BITMAP description{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof description, &description) != sizeof description) return false;
    // Fewer bits would need a colour table, which these files do not carry.
    const int bitsPerPixel = description.bmBitsPixel < 16 ? 24 : description.bmBitsPixel;
    const int planes = description.bmPlanes > 0 ? description.bmPlanes : 1;
    const std::optional<std::array<std::uint8_t, bmp::kHeadersSize>> headers =
        bmp::Headers(description.bmWidth, description.bmHeight, planes, bitsPerPixel);
    const std::optional<std::uint32_t> imageSize = bmp::ImageSize(description.bmWidth, description.bmHeight, bitsPerPixel);
    if (!headers || !imageSize) return false;

    // GetDIBits is given the very info header the file carries, so the rows
    // it returns are the ones the header describes.
    BITMAPINFO info{};
    static_assert(sizeof(BITMAPINFOHEADER) == bmp::kHeadersSize - 14);
    std::memcpy(&info.bmiHeader, headers->data() + 14, sizeof(BITMAPINFOHEADER));
    std::vector<std::uint8_t> pixels(*imageSize);
    {
        fw::ScopedGetDc screen(nullptr);
        if (!screen.IsValid() ||
            GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(description.bmHeight), pixels.data(), &info,
                      DIB_RGB_COLORS) != description.bmHeight)
            return false;
    }
    return WriteReplacing(path, {{headers->data(), headers->size()}, {pixels.data(), pixels.size()}});
}

bool AskShotFileName(HWND owner, std::wstring& name) {
    wchar_t buffer[MAX_PATH] = {};
    name.copy(buffer, MAX_PATH - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"BMP(*.bmp)\0*.bmp\0";
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = L"请输入文件名称";
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_DONTADDTORECENT;
    // Loaded for the dialog only: linked, the library and the printing
    // libraries it brings would load before every login face.
    const fw::ScopedModule comdlg = fw::LoadSystemLibrary(L"comdlg32.dll");
    const auto getSaveFileName = fw::SystemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(comdlg, "GetSaveFileNameW");
    if (getSaveFileName == nullptr || !getSaveFileName(&dialog)) return false;
    name = buffer;
    return true;
}
