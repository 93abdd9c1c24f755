#include <windows.h>

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fw/handles_win.h"
#include "res/resource.h"
#include "tests/win/win_test_util.h"
#include "ui/icons_win.h"
#include "ui/image_loader_win.h"
#include "ui/image_preload_win.h"
#include "ui/wic_png_win.h"

namespace {

struct SkinSize {
    UINT id;
    int width, height;
} const kSkins[] = {
    {129, 1125, 696}, {131, 30, 51},  {132, 120, 25}, {133, 228, 23}, {134, 30, 51},  {135, 116, 25},
    {136, 116, 25},   {137, 116, 25}, {138, 212, 25}, {139, 116, 25}, {140, 528, 22}, {141, 42, 14},
    {148, 224, 23},   {149, 224, 23}, {152, 390, 21}, {153, 390, 21}, {162, 284, 150}, {164, 112, 16},
    // 168: four frames of the 60-pixel service button, so that none is cut or stretched.
    {165, 132, 27},   {166, 228, 23}, {167, 252, 23}, {168, 240, 23}, {169, 240, 23}, {170, 240, 23},
    {171, 240, 23},   {172, 16, 16},  {177, 152, 26}, {178, 160, 15}, {179, 168, 12}, {180, 168, 16},
};

// The PNG's own alpha, decoded independently of the loader.
std::vector<std::uint8_t> PngAlpha(UINT id, int width, int height) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), L"PNG");
    if (!found) return {};
    const DWORD size = SizeofResource(self, found);
    const void* bytes = LockResource(LoadResource(self, found));
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(bytes, size, nullptr);
    std::vector<std::uint8_t> alpha;
    {
        std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream));
        Gdiplus::Rect all(0, 0, width, height);
        Gdiplus::BitmapData data{};
        if (image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    alpha.push_back(static_cast<const std::uint8_t*>(data.Scan0)[y * data.Stride + x * 4 + 3]);
            image->UnlockBits(&data);
        }
    }
    stream->Release();
    return alpha;
}

class GdiplusScope {
public:
    GdiplusScope() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GdiplusScope() { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

TEST(SkinImages, EverySkinLoadsAtItsSizeWithMagentaWhereTransparent) {
    for (const SkinSize& s : kSkins) {
        fw::ScopedBitmap bitmap(LoadSkinImage(GetModuleHandleW(nullptr), s.id));
        ASSERT_TRUE(bitmap) << s.id;
        int w = 0, h = 0;
        const auto px = wintest::Pixels(bitmap.Get(), &w, &h);
        EXPECT_EQ(w, s.width) << s.id;
        EXPECT_EQ(h, s.height) << s.id;
        GdiplusScope gdiplus;
        const auto alpha = PngAlpha(s.id, w, h);
        ASSERT_EQ(alpha.size(), px.size()) << s.id;
        int wrong = 0, transparent = 0;
        for (std::size_t i = 0; i < px.size(); ++i) {
            if (alpha[i] == 0) ++transparent;
            if ((alpha[i] == 0) != (px[i] == 0xFF00FF)) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << s.id;
        (void)transparent;
    }
}

TEST(SkinImages, FramesHaveCutCornersAndOpaqueMiddles) {
    for (UINT id : {IDP_FRAME_MAIN, IDP_FRAME_LIGHT}) {
        fw::ScopedBitmap bitmap(LoadSkinImage(GetModuleHandleW(nullptr), id));
        int w = 0, h = 0;
        const auto px = wintest::Pixels(bitmap.Get(), &w, &h);
        ASSERT_EQ(w, 30);
        auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; };
        EXPECT_EQ(at(0, 0), 0xFF00FFu) << id;
        EXPECT_EQ(at(29, 0), 0xFF00FFu) << id;
        EXPECT_EQ(at(0, 50), 0xFF00FFu) << id;
        EXPECT_NE(at(15, 15), 0xFF00FFu) << id;
        EXPECT_NE(at(15, 40), 0xFF00FFu) << id;
    }
}

TEST(SkinImages, UnknownIdOrModuleGivesNone) {
    EXPECT_EQ(LoadSkinImage(GetModuleHandleW(nullptr), 9999), nullptr);
    EXPECT_EQ(LoadSkinImage(GetModuleHandleW(nullptr), IDD_EMPTY_POPUP), nullptr);  // a dialog, not an image
    EXPECT_EQ(LoadSkinImage(nullptr, IDP_CLOSE), nullptr);
}

// The 32-bit pixels of a DIB section, as they lie in memory.
std::vector<std::uint32_t> SectionPixels(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 32) return {};
    const auto* bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    return {bits, bits + static_cast<size_t>(section.dsBm.bmWidth) * section.dsBm.bmHeight};
}

TEST(SkinImages, AlphaImageIsPremultipliedWithThePngsAlpha) {
    SIZE size{};
    fw::ScopedBitmap bitmap(LoadAlphaImage(GetModuleHandleW(nullptr), IDP_LOGIN_BACKGROUND, &size));
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(size.cx, 1125);
    ASSERT_EQ(size.cy, 696);
    const auto pixels = SectionPixels(bitmap.Get());
    const auto alpha = PngAlpha(IDP_LOGIN_BACKGROUND, 1125, 696);
    ASSERT_EQ(pixels.size(), alpha.size());
    size_t wrong = 0, translucent = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i], a = p >> 24;
        if (a > 0 && a < 255) ++translucent;
        if (a != alpha[i] || (p & 0xFF) > a || ((p >> 8) & 0xFF) > a || ((p >> 16) & 0xFF) > a) ++wrong;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(translucent, 0u);  // the rounded corners' edge
}

// Bytes that are no whole PNG give no picture and leave the size alone.
TEST(SkinImages, BrokenPngBytesDecodeToNothing) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDP_LOGIN_BACKGROUND), L"PNG");
    ASSERT_NE(found, nullptr);
    const auto* png = static_cast<const char*>(LockResource(LoadResource(self, found)));
    const std::string whole(png, SizeofResource(self, found));
    std::string corrupt = whole;
    std::fill(corrupt.begin() + 100, corrupt.end(), '\x5a');
    const std::string cases[] = {"", "not a picture", whole.substr(0, 8), whole.substr(0, whole.size() / 2), corrupt};
    for (const std::string& bytes : cases) {
        SIZE size{-1, -1};
        fw::ScopedBitmap bitmap(DecodePremultipliedPng(bytes.data(), bytes.size(), &size));
        EXPECT_FALSE(bitmap) << bytes.size();
        EXPECT_EQ(size.cx, -1);
    }
    SIZE size{};
    EXPECT_TRUE(fw::ScopedBitmap(DecodePremultipliedPng(whole.data(), whole.size(), &size)));
    EXPECT_EQ(size.cx, 1125);
}

// The quick decoder that takes the skins' kind of PNG agrees with the
// system's: the same alpha, colours at most one step apart from rounding.
TEST(SkinImages, QuickDecodeAgreesWithTheImagingComponent) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDP_LOGIN_BACKGROUND), L"PNG");
    ASSERT_NE(found, nullptr);
    const void* png = LockResource(LoadResource(self, found));
    const DWORD bytes = SizeofResource(self, found);
    SIZE quickSize{}, wicSize{};
    fw::ScopedBitmap quick(DecodePremultipliedPng(png, bytes, &quickSize));
    fw::ScopedBitmap wic(DecodePremultipliedPngWithWic(png, bytes, &wicSize));
    ASSERT_TRUE(quick && wic);
    EXPECT_EQ(quickSize.cx, wicSize.cx);
    EXPECT_EQ(quickSize.cy, wicSize.cy);
    const auto a = SectionPixels(quick.Get()), b = SectionPixels(wic.Get());
    ASSERT_EQ(a.size(), b.size());
    size_t apart = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int x = (a[i] >> shift) & 0xFF, y = (b[i] >> shift) & 0xFF;
            if (shift == 24 ? x != y : std::abs(x - y) > 1) ++apart;
        }
    }
    EXPECT_EQ(apart, 0u);
}

TEST(SkinImages, PreloadHandsEachImageOnceAndFreesTheRest) {
    HMODULE self = GetModuleHandleW(nullptr);
    ASSERT_TRUE(StartImagePreload(self, {{IDP_CLOSE, ImageKind::Keyed},
                                         {IDP_LOGIN_BACKGROUND, ImageKind::Alpha},
                                         {IDP_MIN, ImageKind::Keyed},
                                         {9999, ImageKind::Keyed}}));
    EXPECT_TRUE(StartImagePreload(self, {{IDP_MAX, ImageKind::Keyed}}));  // queued behind the others
    EXPECT_FALSE(StartImagePreload(nullptr, {{IDP_MAX, ImageKind::Keyed}}));
    EXPECT_FALSE(StartImagePreload(GetModuleHandleW(L"kernel32.dll"), {{IDP_MAX, ImageKind::Keyed}}));

    // The same pixels as a decode on this thread, once; then nothing.
    std::optional<PreloadedImage> close = TakePreloadedImage(self, IDP_CLOSE, ImageKind::Keyed);
    ASSERT_TRUE(close);
    fw::ScopedBitmap preloaded(close->bitmap), direct(DecodeSkinImage(self, IDP_CLOSE));
    EXPECT_EQ(SectionPixels(preloaded.Get()), SectionPixels(direct.Get()));
    EXPECT_FALSE(TakePreloadedImage(self, IDP_CLOSE, ImageKind::Keyed));
    // Another kind, another module, an id not asked for, an id without an image.
    EXPECT_FALSE(TakePreloadedImage(self, IDP_MIN, ImageKind::Alpha));
    EXPECT_FALSE(TakePreloadedImage(nullptr, IDP_MIN, ImageKind::Keyed));
    EXPECT_FALSE(TakePreloadedImage(self, IDP_RESTORE, ImageKind::Keyed));
    EXPECT_FALSE(TakePreloadedImage(self, 9999, ImageKind::Keyed));
    std::optional<PreloadedImage> max = TakePreloadedImage(self, IDP_MAX, ImageKind::Keyed);
    ASSERT_TRUE(max);
    DeleteObject(max->bitmap);

    SIZE size{};
    fw::ScopedBitmap background(LoadAlphaImage(self, IDP_LOGIN_BACKGROUND, &size));
    EXPECT_TRUE(background);
    EXPECT_EQ(size.cx, 1125);
    // IDP_MIN was never taken: freed here, and nothing is left to take.
    EXPECT_EQ(FinishImagePreload(), 1u);
    EXPECT_FALSE(TakePreloadedImage(self, IDP_MIN, ImageKind::Keyed));
    EXPECT_TRUE(StartImagePreload(self, {}));
    EXPECT_EQ(FinishImagePreload(), 0u);
}

TEST(SkinImages, IconsAndCursorIconLoad) {
    HMODULE self = GetModuleHandleW(nullptr);
    fw::ScopedIcon cursor(static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(IDI_SHOT_CURSOR), IMAGE_ICON, 44, 44, 0)));
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor.Get(), &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 44);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_NE(LoadImageW(self, MAKEINTRESOURCEW(IDI_FAVOURITE), IMAGE_ICON, 16, 16, 0), nullptr);
}

std::filesystem::path TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::filesystem::path(dir) / name;
}

TEST(Icons, OwnIconGroupWrittenAsIcoAndLoadedBack) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CIcons icons;
    ASSERT_TRUE(icons.ReadIconGroup(self));
    const std::size_t n = icons.Images().size();
    ASSERT_EQ(n, 4u);
    for (const auto& image : icons.Images()) EXPECT_EQ(image.layout.colorBits, 32);

    const auto path = TempFile(L"corvane_icon_test.ico");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(icons.WriteIconFile(path.wstring()));
    EXPECT_FALSE(std::filesystem::exists(path.wstring() + L".tmp"));
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(bytes.size(), 6 + 16 * n);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[4], n);
    std::uint32_t firstOffset = 0, firstSize = 0, sizeImage = 0;
    std::memcpy(&firstSize, bytes.data() + 6 + 8, 4);
    std::memcpy(&firstOffset, bytes.data() + 6 + 12, 4);
    EXPECT_EQ(firstOffset, 6 + 16 * n);
    std::uint32_t headerSize = 0;
    std::memcpy(&headerSize, bytes.data() + firstOffset, 4);
    EXPECT_EQ(headerSize, 40u);  // the first image's BITMAPINFOHEADER starts right there
    std::memcpy(&sizeImage, bytes.data() + firstOffset + 20, 4);
    EXPECT_EQ(sizeImage, 0u);
    std::size_t total = 6 + 16 * n;
    for (const auto& image : icons.Images()) total += image.data.size();
    EXPECT_EQ(bytes.size(), total);

    fw::ScopedIcon back(static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    EXPECT_TRUE(back);
    DeleteFileW(path.c_str());
}

}  // namespace
