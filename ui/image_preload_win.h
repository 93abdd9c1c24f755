#pragma once

// Start-up's skins decoded on a worker thread while the main thread waits on
// the network and makes its windows. The loader (image_loader_win.h) hands a
// preloaded image to the first caller that asks for it, waiting for the
// worker if it has not got that far; any other request decodes on the
// caller's thread as before, so a preload changes when images are decoded,
// never what a caller gets.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

// What LoadSkinImage and LoadAlphaImage make of a resource.
enum class ImageKind { Keyed, Alpha };

struct ImageRequest {
    UINT id;
    ImageKind kind;
};

struct PreloadedImage {
    HBITMAP bitmap;  // owned by the taker
    SIZE size;       // for ImageKind::Alpha
};

// Queues `images` of `module` for the worker, which decodes every request in
// the order it came. False when nothing was queued: another module's images
// are queued, or no thread could be made. The caller keeps GDI+ started
// until FinishImagePreload.
bool StartImagePreload(HMODULE module, std::vector<ImageRequest> images);

// The preloaded image `id` of that kind, to the first caller only; nothing
// when it was not requested, was taken already or could not be decoded.
std::optional<PreloadedImage> TakePreloadedImage(HMODULE module, UINT id, ImageKind kind);

// Waits for the worker and deletes what nobody took; returns how many.
size_t FinishImagePreload();
