#include <gtest/gtest.h>

#include <string>

#include "compiler/front/fitter_section.h"
#include "compiler/front/symbols.h"
#include "front_fixture.h"

namespace {

class FitterSectionTest : public front_test::FrontTest {
protected:
    void SetUp() override {
        FrontTest::SetUp();
        savedPlc = PlcType;
        zwPath = front_test::ScratchDir() + "fitter_section_test.ZW";
        ASSERT_EQ(InitSymbolTable(), 1);
    }
    void TearDown() override {
        CS.Zw.Close();
        ReleaseSymbolTexts();
        PlcType = savedPlc;
        std::remove(zwPath.c_str());
        FrontTest::TearDown();
    }
    std::string Section(int plc) {
        PlcType = plc;
        EXPECT_TRUE(CS.Zw.Open(zwPath.c_str()));
        WriteFitterSection();
        CS.Zw.Close();
        return front_test::ReadFileBytes(zwPath);
    }
    static std::string Crlf(const std::string& s) {
        std::string out;
        for (char c : s) {
            if (c == '\n') out += '\r';
            out += c;
        }
        return out;
    }
    int savedPlc = 1;
    std::string zwPath;
};

TEST_F(FitterSectionTest, WorkedExample) {
    InsertSymbol("a", KIND_INPUT, 15, nullptr);
    InsertSymbol("b", KIND_INPUT, 16, nullptr);
    InsertSymbol("y", KIND_OUTPUT, 25, nullptr);
    InsertSymbol("m", KIND_INTERN, 0, nullptr);
    std::string want =
        "\n\nDEVICE:\n\t\tTREVA\n\n\n\nPINS:\n\t\ta\n\t\tb\n\t\ty\nSumme: 3 Pins\n"
        "\nNODES:\n\t\tm\nSumme: 1 Nodes\n"
        "\nFest_zugeordnete_Pins:\n\t\ta_AT_15\n\t\tb_AT_16\n\t\ty_AT_25\n"
        "\nKritische_Pfade:\n";
    EXPECT_EQ(Section(0), Crlf(want));
}

TEST_F(FitterSectionTest, EdgeCases) {
    InsertSymbol("a", KIND_INPUT, 0, nullptr);       // found no pin
    InsertSymbol("t", KIND_INPUT_P11, 11, nullptr);
    InsertSymbol("u", KIND_INPUT_P35, 35, nullptr);
    InsertSymbol("io", KIND_INOUT, 3, nullptr);
    InsertSymbol("x", KIND_OUTPUT, 25, nullptr);
    InsertSymbol("y", KIND_OUTPUT, 26, nullptr);
    InsertSymbol("grp", KIND_GROUP, 3, "a,t,u;");
    SymbolTable[LookupSymbol("x")].Critical = 1;
    SymbolTable[LookupSymbol("y")].Critical = 1;
    std::string want =
        "\n\nDEVICE:\n\t\tZIRKO_M2E\n\n\n\nPINS:\n\t\ta\n\t\tt\n\t\tu\n\t\tio\n\t\tx\n\t\ty\nSumme: 6 Pins\n"
        "\nNODES:\nSumme: 0 Nodes\n"
        "\nFest_zugeordnete_Pins:\n\t\tt_AT_11\n\t\tu_AT_35\n\t\tio_AT_3\n\t\tx_AT_25\n\t\ty_AT_26\n\t\tgrp_AT_3\n"
        "\nKritische_Pfade:\n\t\tx\t\ty";
    EXPECT_EQ(Section(5), Crlf(want));
}

TEST_F(FitterSectionTest, DeviceLines) {
    struct Case { int plc; const char* line; } cases[] = {
        {0, "\t\tTREVA\r\n"}, {1, "\t\tZIRKO\r\n"}, {4, "\t\tZIRKO_M2\r\n"}, {5, "\t\tZIRKO_M2E\r\n"}};
    for (const Case& c : cases) {
        std::string s = Section(c.plc);
        EXPECT_EQ(s.substr(0, 13), "\r\n\r\nDEVICE:\r\n");
        EXPECT_EQ(s.compare(13, std::string(c.line).size(), c.line), 0) << c.plc;
        EXPECT_NE(s.find("Summe: 0 Pins\r\n"), std::string::npos);
    }
}

}  // namespace
