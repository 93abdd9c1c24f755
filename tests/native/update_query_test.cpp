#include <gtest/gtest.h>

#include "app/update_query.h"
#include "tests/native/fake_profile_store.h"
#include "tests/native/test_files.h"

namespace {

// MD5("abc") cut for "3.0.0.1", then the version digits.
const std::string kOwnTag = "900150983cd24fb0d6963f7d28e13001";

std::string Description(const std::string& version, const std::string& tag) {
    return "x({\"version\":\"" + version + "\",\"tag\":\"" + tag +
           "\",\"url\":\"http://127.0.0.1/n.exe\",\"size\":\"3\",\"sha256\":\"" + std::string(64, 'a') +
           "\",\"signature\":\"MAE=\"})";
}

}  // namespace

TEST(UpdateQuery, Answers) {
    CTempDir dir;
    const std::wstring program = (dir / "p.exe").wstring();
    WriteBytes(program, {'a', 'b', 'c'});
    const std::string newTag = "0123456789abcdef01234567893002";
    struct Case {
        const char* what;
        std::string key;
        std::wstring slotTag;
        std::string description;
        bool needed;
        bool fetched;
        std::wstring version;
    } cases[] = {
        {"no key: no updates", "", L"FFFF3002", Description("3.0.0.2", newTag), false, false, L""},
        {"the slot's tag differs", "K", L"FFFF3002", Description("3.0.0.1", kOwnTag), true, false, L""},
        {"the slot's tag is this program's", "K", L"900150983CD24FB0D6963F7D28E13001", "", false, false, L""},
        {"a newer version described", "K", L"", Description("3.0.0.2", newTag), true, true, L"3.0.0.2"},
        {"the same version", "K", L"", Description("3.0.0.1", newTag), false, true, L""},
        {"an older version", "K", L"", Description("3.0.0.0", newTag), false, true, L""},
        {"a newer version with this program's tag", "K", L"", Description("3.0.0.2", kOwnTag), false, true, L""},
        {"no description", "K", L"", "", false, true, L""},
        {"a description missing a member", "K", L"", "{\"version\":\"3.0.0.2\",\"tag\":\"ab\"}", false, true, L""},
    };
    for (const auto& c : cases) {
        bool fetched = false;
        const UpdateAnswer answer = QueryUpdate({c.slotTag, c.key, L"3.0.0.1", program}, [&] {
            fetched = true;
            return c.description;
        });
        EXPECT_EQ(answer.needed, c.needed) << c.what;
        EXPECT_EQ(fetched, c.fetched) << c.what;
        EXPECT_EQ(answer.version, c.version) << c.what;
    }
}

TEST(UpdateQuery, OncePerDayAndOnceAVersion) {
    CFakeProfileStore store;
    CSettings stored(store, L"Doln2");
    EXPECT_TRUE(TakeDailyUpdateCheck(stored, {2026, 12, 9}));
    EXPECT_FALSE(TakeDailyUpdateCheck(stored, {2026, 12, 9}));
    EXPECT_TRUE(TakeDailyUpdateCheck(stored, {2026, 12, 10}));

    EXPECT_TRUE(TakeUpdateQuestion(stored, L"3.0.0.2"));
    EXPECT_FALSE(TakeUpdateQuestion(stored, L"3.0.0.2"));
    EXPECT_TRUE(TakeUpdateQuestion(stored, L"3.0.0.3"));
}
