#pragma once

#include <windows.h>

// Cleaning the browser's and the Flash player's caches, and bounding the
// browser cache at start. Failures stay silent: files in use (by a running
// player, or the cache index itself) stay behind with their folders. Nothing
// outside the cache folders is touched: links and junctions inside them are
// removed, never followed.

// Deletes every URL cache entry except cookies, then the cache folder's
// contents. TRUE when the cache folder went entirely.
BOOL ClearBrowserCache();

// Deletes the Flash player's stored objects folder in the roaming
// application data.
BOOL ClearFlashSharedObjects();

// Sets the current user's browser "CacheLimit" to 1048576 when the cache key
// exists; it is not created.
BOOL SetCacheLimit();

// Thread body of the clear-cache command: Flash objects, then the browser
// cache. Always returns 0.
DWORD WINAPI ClearCacheThread(LPVOID);

// Runs ClearCacheThread on a thread of its own and returns at once; the
// command shows its completion message without waiting.
void StartClearCache();
