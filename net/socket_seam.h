#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/code_page.h"

// The few socket calls the downloader makes, over BSD sockets in the native
// build and Winsock in the program, so that one protocol code path is tested
// on both. A handle of 0 means "no socket".
namespace sock {

using Handle = std::uintptr_t;

// Winsock wants WSAStartup (version 2.2 exactly) before any other call; the
// native build has nothing to start.
bool Startup();

// A TCP stream socket, or 0.
Handle Open();

// Resolves `host` (a name or dotted address; the first address is used) and
// connects to it.
bool Connect(Handle s, const std::string& host, uint16_t port);

bool SetRecvTimeout(Handle s, unsigned milliseconds);

// Sends everything or fails. A peer that has gone never raises a signal.
bool SendAll(Handle s, const char* data, size_t size);

// Bytes received (> 0), 0 when the peer closed, < 0 on an error or time-out.
long Recv(Handle s, char* buffer, size_t size);
// As Recv, but the bytes copied stay waiting for the next Recv.
long Peek(Handle s, char* buffer, size_t size);

// Shuts both directions down, then closes.
void ShutdownAndClose(Handle s);
void Close(Handle s);

}  // namespace sock

// The code page that addresses and header text are written in on the wire:
// the system ANSI code page in the program, GBK natively.
const ICodePage& WireCodePage();
