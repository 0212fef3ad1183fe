// Equation writer: the exact text of headers, terms, constants and the count
// line, the compile-log line, and nothing written when minimization fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/symbols.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/equation_writer.h"
#include "compiler/logic/minimize.h"
#include "compiler/statements/expr_tree.h"
#include "cover_fixture.h"

namespace {

std::vector<std::string>* g_log = nullptr;
void CollectLog(void*, const char* text, int transient) {
    if (!transient && g_log) g_log->push_back(text);
}

class EquationWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        savedLevel_ = MinLevel;
        logic_test::SetUpCompile({"a", "b", "EN", "y", "Q1"});
        path_ = ::testing::TempDir() + "equation_writer_test.ZW";
        ASSERT_TRUE(CS.Zw.Open(path_.c_str()));
        g_log = &log_;
        CompileHost host = {nullptr, CollectLog, nullptr, nullptr, nullptr};
        SetCompileHost(&host);
    }
    void TearDown() override {
        CS.Zw.Close();
        std::remove(path_.c_str());
        SetCompileHost(nullptr);
        g_log = nullptr;
        MinLevel = savedLevel_;
        CS.MinimizeFlag = 1;
        logic_test::TearDownCompile();
        WorkMemoryResetCounters();
    }
    // Everything written to ZW so far, byte for byte.
    std::string Written() {
        CS.Zw.Close();
        std::ifstream in(path_, std::ios::binary);
        std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(CS.Zw.Open(path_.c_str()));
        return s;
    }
    std::string Write(int level, const char* text, const char* name = "y") {
        MinLevel = level;
        EXPECT_EQ(WriteEquation(logic_test::Tree(text), name), 1) << text;
        return Written();
    }
    std::string path_;
    std::vector<std::string> log_;
    int savedLevel_ = 0;
};

// The worked examples and edge cases, with every "\n" as CR LF.
TEST_F(EquationWriterTest, EquationTexts) {
    struct Case { int level; const char* text; const char* name; const char* zw; } cases[] = {
        {NOMIN, "a ^ b", "y", "y =  NOT a & b OR\r\n\t\ta &  NOT b\r\n\t\t\t\t; 2 \r\n"},
        {ESPRESSO, "a ^ b", "y", "y = a &  NOT b OR\r\n\t\t NOT a & b\r\n\t\t\t\t; 2 \r\n"},
        {STRONGMIN, "a | b", "y", "NOT y =  NOT a &  NOT b\r\n\t\t\t\t; 1 \r\n"},
        {NOMIN, "0", "y", "y = __GND\t\t; 1\r\n"},
        {STRONGMIN, "0", "y", "y = __GND\t\t; 1\r\n"},
        {ESPRESSO, "0", "y", "y = __GND\t\t; 1\r\n"},
        {STRONGMIN, "a | !a", "y", "y = __VCC\t\t; 1\r\n"},
        {NOMIN, "a & b", "y", "y = a & b\r\n\t\t\t\t; 1 \r\n"},
        {ESPRESSO, "a & b | a", "y", "y = a\r\n\t\t\t\t; 1 \r\n"},      // slot 0 dropped
        {ESPRESSO, "EN", "Q1 .OE", "Q1 .OE = EN\r\n\t\t\t\t; 1 \r\n"},
        {NOMIN, "!a & b & !EN", "y", "y =  NOT a & b &  NOT EN\r\n\t\t\t\t; 1 \r\n"},
        // truth table with a smaller on-set: positive
        {NOMIN, "!(a | b)", "y", "y =  NOT a &  NOT b\r\n\t\t\t\t; 1 \r\n"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(Write(c.level, c.text, c.name), c.zw) << c.level << " " << c.text;
        CS.Zw.Close();
        ASSERT_TRUE(CS.Zw.Open(path_.c_str()));
    }
}

TEST_F(EquationWriterTest, EquationsFollowEachOtherWithoutBlankLine) {
    MinLevel = NOMIN;
    ASSERT_EQ(WriteEquation(logic_test::Tree("a"), "y"), 1);
    ASSERT_EQ(WriteEquation(logic_test::Tree("0"), "Q1"), 1);
    EXPECT_EQ(Written(), "y = a\r\n\t\t\t\t; 1 \r\nQ1 = __GND\t\t; 1\r\n");
    EXPECT_EQ(log_, (std::vector<std::string>{"Minimierung von y", "Minimierung von Q1"}));
}

TEST_F(EquationWriterTest, VariableLimitWritesConstantZeroWithPlainHeader) {
    // Polarity 3 from an earlier equation stays for the variable-limit case;
    // the constant zero is written with the plain header all the same.
    std::string text = "v0";
    for (int i = 0; i < 19; ++i) {
        std::string v = "v" + std::to_string(i);
        ASSERT_EQ(InsertSymbol(v.c_str(), KIND_INPUT, 0, nullptr), 1);
        if (i > 0) text += " | " + v;
    }
    MinLevel = STRONGMIN;
    ASSERT_EQ(WriteEquation(logic_test::Tree("a | b"), "z"), 1);
    ASSERT_EQ(Polarity, 3);
    ASSERT_EQ(WriteEquation(logic_test::Tree(text.c_str()), "y"), 1);
    EXPECT_EQ(Polarity, 3);
    EXPECT_EQ(Written(), "NOT z =  NOT a &  NOT b\r\n\t\t\t\t; 1 \r\ny = __GND\t\t; 1\r\n");
    EXPECT_EQ(log_, (std::vector<std::string>{"Minimierung von z", "Minimierung von y"}));
}

TEST_F(EquationWriterTest, CoverWithoutLiveTermWritesOnlyTheCountLine) {
    Cover c = AllocCover(2, 0, 5);
    c[0] = CubeAddress(c, 2, 0, 0, 5);   // no literal: not live
    WriteCover(c, 1);
    EXPECT_EQ(Written(), "\t\t; 0 \r\n");
}

TEST_F(EquationWriterTest, FailedMinimizationWritesNothingButLogs) {
    MinLevel = STRONGMIN;
    WorkMemoryFailAt(1, true);
    EXPECT_EQ(WriteEquation(logic_test::Tree("a & b | !a & !b"), "y"), -1);
    WorkMemoryResetCounters();
    EXPECT_EQ(Written(), "");
    EXPECT_EQ(log_, (std::vector<std::string>{"Minimierung von y"}));
}

TEST_F(EquationWriterTest, LongNamesAreCutInTheLogLine) {
    std::string name(300, 'q');
    MinLevel = NOMIN;
    ASSERT_EQ(WriteEquation(logic_test::Tree("a"), name.c_str()), 1);
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].size(), 127u);
    EXPECT_EQ(log_[0].compare(0, 16, "Minimierung von "), 0);
    EXPECT_EQ(Written(), name + " = a\r\n\t\t\t\t; 1 \r\n");
}

}  // namespace
