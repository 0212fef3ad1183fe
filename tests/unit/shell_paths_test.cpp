// The extension-dot rule on the shell's 128-byte path buffers: which dot
// counts, the appended dot, short paths and a full buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/path_rules.h"
#include "shell/portable/shell_rules.h"

namespace {

TEST(ShellPaths, ExtensionDotIndexOnBuffers) {
    struct Case {
        const char* in;
        int index;
        const char* after;
    } cases[] = {
        {"C:\\work\\ampel.sqx", 13, "C:\\work\\ampel.sqx"},  // the dot, path unchanged
        {"C:\\work\\ampel", 13, "C:\\work\\ampel."},         // appended, old length
        {"C:\\work\\ampel.text", 18, "C:\\work\\ampel.text."},
        {"a.b.c", 3, "a.b.c"},                               // the dot nearest the end
        {"ab.cd", 2, "ab.cd"},                               // dot four from the end
        {"C:\\x.", 4, "C:\\x."},
        {"ab", 2, "ab."},                                    // shorter than four
        {".", 0, "."},
        {"", 0, "."},
    };
    for (const Case& c : cases) {
        char buf[kPathBuffer];
        std::strcpy(buf, c.in);
        EXPECT_EQ(ExtensionDotIndex(buf, sizeof buf), c.index) << c.in;
        EXPECT_STREQ(buf, c.after) << c.in;
    }
}

TEST(ShellPaths, FullBufferGetsNoDotButTheSameIndex) {
    char buf[kPathBuffer];
    std::string full(kMaxPath, 'p');
    std::strcpy(buf, full.c_str());
    EXPECT_EQ(ExtensionDotIndex(buf, sizeof buf), static_cast<int>(kMaxPath));
    EXPECT_EQ(std::strlen(buf), kMaxPath);  // nothing written past the buffer
    std::string one_less(kMaxPath - 1, 'p');
    std::strcpy(buf, one_less.c_str());
    EXPECT_EQ(ExtensionDotIndex(buf, sizeof buf), static_cast<int>(kMaxPath - 1));
    EXPECT_EQ(std::string(buf), one_less + ".");
}

TEST(ShellPaths, CompileAndViewPathsAgree) {
    // The worker's ZW/ERR and the views' zw/err name the same files up to case.
    const char* sources[] = {"C:\\w\\ampel.sqx", "C:\\w\\ampel", "C:\\w\\a.text"};
    for (const char* s : sources) {
        std::string zw = DerivedPath(s, "ZW");
        std::string view = ViewPath(s, 0);
        ASSERT_EQ(zw.size(), view.size()) << s;
        EXPECT_EQ(zw.substr(0, zw.size() - 2), view.substr(0, view.size() - 2)) << s;
        EXPECT_EQ(ViewPath(DerivedPath(s, "ERR").c_str(), 1), ViewPath(s, 1)) << s;
    }
}

}  // namespace
