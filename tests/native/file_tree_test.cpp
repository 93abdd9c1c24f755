#include <gtest/gtest.h>

#include "tools/file_tree.h"

TEST(SplitPath, AtTheLastSeparator) {
    struct Case {
        std::wstring path;
        bool ok;
        std::wstring folder, name;
    } cases[] = {
        {L"C:\\a\\b\\c.txt", true, L"C:\\a\\b", L"c.txt"},
        {L"C:/a/b/c.txt", true, L"C:/a/b", L"c.txt"},
        {L"C:\\a/b\\c/d", true, L"C:\\a/b", L"c/d"},  // a backslash wins over later slashes
        {L"C:\\dir\\", true, L"C:\\dir", L""},
        {L"\\x", true, L"", L"x"},
        {L"name.txt", false, L"-", L"-"},
        {L"", false, L"-", L"-"},
    };
    for (const auto& c : cases) {
        std::wstring folder = L"-", name = L"-";
        EXPECT_EQ(SplitPath(c.path, &folder, &name), c.ok);
        EXPECT_EQ(folder, c.folder);
        EXPECT_EQ(name, c.name);
    }
    EXPECT_TRUE(SplitPath(L"a\\b", nullptr, nullptr));
}
