#pragma once

#include <json/json.h>

#include <string_view>

enum class JsonSyntax {
    Lenient,  // jsoncpp's defaults: comments, and text after the object ignored
    Strict,   // plain JSON, one object, no member twice
};

// Parses text already cut to one JSON object (see CutJsonObject) into `root`.
// False when it does not parse, is not an object, or nests deeper than any
// description the portal sends.
bool ParseJsonObject(std::string_view cut, Json::Value& root, JsonSyntax syntax = JsonSyntax::Lenient);

// The member's string, or nullptr when it is missing or not a string.
const Json::Value* StringMember(const Json::Value& root, std::string_view name);
