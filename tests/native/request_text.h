#pragma once

#include <cstddef>
#include <string>

// Request and body text for the loopback servers of both test builds.

// The `value` of a request header line "Name: value", or empty.
std::string RequestHeader(const std::string& request, const std::string& name);

// Deterministic bytes that differ along the file.
std::string PatternBytes(size_t size);
