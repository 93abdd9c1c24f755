#pragma once

// A socket seam that plays answers from a script instead of a network: each
// connection the downloader opens reads the next answer in turn (the first
// again after the last), and ends with the connection closed.

#include <string_view>
#include <vector>

namespace scripted_socket {

// The answers stay owned by the caller until the next Play.
void Play(std::vector<std::string_view> answers);

// Connections opened since the last Play.
size_t Connections();

}  // namespace scripted_socket
