#include <gtest/gtest.h>

#include <map>

#include "app/icon_info.h"
#include "app/update_info.h"

namespace {

const std::map<std::string, std::string> kGood = {
    {"version", "\"3.0.0.2\""},
    {"tag", "\"0123456789abcdef0123456789ab3002\""},
    {"url", "\"http://127.0.0.1:7251/update/corvane.exe\""},
    {"size", "\"123456\""},
    {"sha256", "\"" + std::string(64, 'a') + "\""},
    {"signature", "\"MEUCIQDx\""},
};

// The good description with one member replaced (its JSON text) or, for an
// empty replacement, left out.
std::string Description(const std::string& member = "", const std::string& json = "") {
    std::string text = "{";
    for (const auto& [name, value] : kGood) {
        if (name == member && json.empty()) continue;
        if (text.size() > 1) text += ",";
        text += "\"" + name + "\":" + (name == member ? json : value);
    }
    return text + "}";
}

}  // namespace

TEST(UpdateInfo, ReadsAGoodDescriptionWrappedInOtherText) {
    UpdateInfo info;
    ASSERT_TRUE(ParseUpdateInfo("callback(" + Description() + ");\n", info));
    EXPECT_EQ(info.version, "3.0.0.2");
    EXPECT_EQ(info.tag, "0123456789abcdef0123456789ab3002");
    EXPECT_EQ(info.url, "http://127.0.0.1:7251/update/corvane.exe");
    EXPECT_EQ(info.size, "123456");
    EXPECT_EQ(info.sha256, std::string(64, 'a'));
    EXPECT_EQ(info.signature, "MEUCIQDx");
    const std::string extra = Description();
    EXPECT_TRUE(ParseUpdateInfo(extra.substr(0, extra.size() - 1) + ",\"notes\":[1,2]}", info)) << "other members";
}

TEST(UpdateInfo, RefusesEveryMalformedDescription) {
    const struct {
        const char* what;
        std::string body;
    } cases[] = {
        {"missing version", Description("version")},
        {"missing tag", Description("tag")},
        {"missing url", Description("url")},
        {"missing size", Description("size")},
        {"missing sha256", Description("sha256")},
        {"missing signature", Description("signature")},
        {"number size", Description("size", "123456")},
        {"null version", Description("version", "null")},
        {"array url", Description("url", "[\"http://a/\"]")},
        {"version with a letter", Description("version", "\"3.0.0.2b\"")},
        {"version with a double dot", Description("version", "\"3..2\"")},
        {"version ending in a dot", Description("version", "\"3.0.\"")},
        {"empty version", Description("version", "\"\"")},
        {"version longer than a slot", Description("version", "\"" + std::string(256, '1') + "\"")},
        {"negative size", Description("size", "\"-1\"")},
        {"size with a blank", Description("size", "\" 12\"")},
        {"size past 64 bits", Description("size", "\"18446744073709551616\"")},
        {"size of 21 digits", Description("size", "\"000000000000000000001\"")},
        {"upper-case digest", Description("sha256", "\"" + std::string(64, 'A') + "\"")},
        {"short digest", Description("sha256", "\"" + std::string(63, 'a') + "\"")},
        {"digest with a non-hex digit", Description("sha256", "\"" + std::string(63, 'a') + "g\"")},
        {"signature not base64", Description("signature", "\"MEUC!QDx\"")},
        {"signature without padding", Description("signature", "\"MEUCIQD\"")},
        {"empty signature", Description("signature", "\"\"")},
        {"https address", Description("url", "\"https://127.0.0.1/a.exe\"")},
        {"address with a blank", Description("url", "\"http://127.0.0.1/a b.exe\"")},
        {"address with a line break", Description("url", "\"http://127.0.0.1/a\\r\\nHost: x\"")},
        {"address without a host", Description("url", "\"http:///a.exe\"")},
        {"address over the dialog's buffer", Description("url", "\"http://a/" + std::string(503, 'b') + "\"")},
        {"tag with a blank", Description("tag", "\"abc 3002\"")},
        {"tag over 63 bytes", Description("tag", "\"" + std::string(64, 'a') + "\"")},
        {"no braces", "version=3.0.0.2"},
        {"braces reversed", "}" + Description().substr(1, Description().size() - 2) + "{"},
        {"two objects", Description() + "," + Description()},
        {"a member twice", "{\"version\":\"3.0.0.9\"," + Description().substr(1)},
        {"junk inside the braces", "{\"version\":\"3.0.0.2\" junk}"},
        {"oversize", Description() + std::string(icon_info::kTextMax, ' ')},
        {"deep nesting", "{\"a\":" + std::string(200, '[') + std::string(200, ']') + "}"},
    };
    for (const auto& c : cases) {
        UpdateInfo info{"stale", "stale", "stale", "stale", "stale", "stale"};
        EXPECT_FALSE(ParseUpdateInfo(c.body, info)) << c.what;
        EXPECT_TRUE(info.version.empty() && info.url.empty() && info.signature.empty()) << c.what;
    }
    // The longest address the dialog holds still passes.
    UpdateInfo info;
    EXPECT_TRUE(ParseUpdateInfo(Description("url", "\"http://a/" + std::string(502, 'b') + "\""), info));
}

TEST(UpdateInfo, ComparesVersionsGroupByGroupAsNumbers) {
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"3.0.0.10", "3.0.0.9", 1},
        {"3.0.0.2", "3.0.0.1", 1},
        {"3.0.0.1", "3.0.0.1", 0},
        {"3.1", "3.0.9.9", 1},
        {"3.0", "3.0.0.0", 0},
        {"3.0.0.1", "3.0", 1},
        {"03.0.0.1", "3.0.0.1", 0},
        {"10.0", "9.99", 1},
        {"99999999999999999999999.1", "99999999999999999999998.9", 1},  // past 64 bits
        {"3.0.0.1", "3.0.0.1.0.0", 0},
        // Malformed text is never newer, and equal to other malformed text.
        {"3.0.0.2x", "3.0.0.1", -1},
        {"", "0", -1},
        {"4..0", "3.0", -1},
        {"v4", "x9", 0},
    };
    for (const auto& c : cases) {
        const int forward = CompareVersions(c.a, c.b);
        const int backward = CompareVersions(c.b, c.a);
        EXPECT_EQ((forward > 0) - (forward < 0), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ((backward > 0) - (backward < 0), -c.order) << c.b << " vs " << c.a;
    }
}

TEST(UpdateInfo, AddressNamesTheBuild) {
    EXPECT_EQ(UpdateInfoAddress(L"127.0.0.1:7251", L"doln", L"2", L"3.0.0.1"),
              L"http://127.0.0.1:7251/webStatic/index.php?_c=client&_a=getUpdateInfo&game=doln&aid=2&ver=3.0.0.1");
}
