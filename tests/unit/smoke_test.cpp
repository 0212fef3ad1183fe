#include <gtest/gtest.h>

#include "shell/path_rules.h"

TEST(PathRules, ExtensionDotIndexReplacesShortExtensions) {
    struct Case { const char* in; const char* zw; } cases[] = {
        {"C:\\work\\ampel.sqx", "C:\\work\\ampel.ZW"},
        {"C:\\work\\ampel", "C:\\work\\ampel.ZW"},
        {"C:\\work\\ampel.text", "C:\\work\\ampel.text.ZW"},
        {"a.b", "a.ZW"},
    };
    for (const Case& c : cases) EXPECT_EQ(DerivedPath(c.in, "ZW"), c.zw) << c.in;
    char buf[32] = "C:\\work\\ampel";
    EXPECT_EQ(ExtensionDotIndex(buf, sizeof buf), 13);
    EXPECT_STREQ(buf, "C:\\work\\ampel.");
}
