#include "app/json_object.h"

#include <exception>
#include <memory>
#include <string>

bool ParseJsonObject(std::string_view cut, Json::Value& root, JsonSyntax syntax) {
    Json::CharReaderBuilder builder;
    if (syntax == JsonSyntax::Strict) Json::CharReaderBuilder::strictMode(&builder.settings_);
    // The cut text is bounded, so is the depth: nothing deeper is expected.
    builder["stackLimit"] = 64;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        return reader->parse(cut.data(), cut.data() + cut.size(), &root, &errors) && root.isObject();
    } catch (const std::exception&) {
        // The reader throws where its depth limit is passed.
        return false;
    }
}

const Json::Value* StringMember(const Json::Value& root, std::string_view name) {
    const Json::Value* member = root.find(name.data(), name.data() + name.size());
    return member != nullptr && member->isString() ? member : nullptr;
}
