#include <gtest/gtest.h>

#include <cstring>

#include "base/base64.h"

TEST(Base64, Rfc4648VectorsBothWays) {
    const struct {
        const char* data;
        const char* text;
    } cases[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},        {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& c : cases) {
        const std::vector<unsigned char> data(c.data, c.data + std::strlen(c.data));
        EXPECT_EQ(Base64Encode(data), c.text);
        std::vector<unsigned char> decoded;
        EXPECT_TRUE(Base64Decode(c.text, decoded)) << c.text;
        EXPECT_EQ(decoded, data) << c.text;
    }
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
    std::vector<unsigned char> back;
    ASSERT_TRUE(Base64Decode(Base64Encode(all), back));
    EXPECT_EQ(back, all);
}

TEST(Base64, RefusesAnythingButTheOneCanonicalText) {
    const char* bad[] = {
        "Zg",        // no padding
        "Zg=",       // short padding
        "Zm9v\n",    // a line break
        "Zm 9v",     // a blank
        "Zg==Zm9v",  // padding inside
        "Z===",      // three pads
        "====",      // nothing but pads
        "Zh==",      // unused bits set: a second spelling of "f"
        "Zm9=",      // the same for two bytes
        "Zm-v",      // the URL alphabet
    };
    for (const char* text : bad) {
        std::vector<unsigned char> out{1, 2, 3};
        EXPECT_FALSE(Base64Decode(text, out)) << text;
        EXPECT_TRUE(out.empty()) << text;
    }
    std::vector<unsigned char> out;
    EXPECT_FALSE(Base64Decode(std::string_view("Zm9v\0Zm9v", 9), out)) << "an embedded NUL";
}
