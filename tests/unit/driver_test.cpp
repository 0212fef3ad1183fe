#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/front/driver.h"
#include "compiler/front/symbols.h"
#include "front_fixture.h"

using front_test::FileExists;
using front_test::HostRecorder;
using front_test::ReadFileBytes;
using front_test::WriteFileBytes;

namespace {

const char* const kAbbruch = "Zu viele oder gravierende Fehler in der Deklaration\r\nSyntaxanalyse wird nicht fortgesetzt\r\n";

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        host.Install();
        savedPlc = PlcType;
        savedMin = MinLevel;
        PlcType = 0;
        MinLevel = NOMIN;
        std::string base = front_test::ScratchDir() + "driver_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
        src = base + ".sqx";
        zw = base + ".ZW";
        err = base + ".ERR";
        std::remove(zw.c_str());
        std::remove(err.c_str());
        baseline = WorkMemoryOutstandingBlocks();
    }
    void TearDown() override {
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), baseline) << "compile memory not given back";
        WorkMemoryResetCounters();
        SetCompileHost(nullptr);
        PlcType = savedPlc;
        MinLevel = savedMin;
        for (const std::string& p : {src, zw, err}) std::remove(p.c_str());
    }
    int Compile(const std::string& text) {
        WriteFileBytes(src, text);
        return Run();
    }
    int Run() {
        host.diags.clear();
        host.log.clear();
        host.oomBoxes = 0;
        return CompileSource(src.c_str(), zw.c_str(), err.c_str(), &window);
    }
    std::string Err() { return ReadFileBytes(err); }
    std::string Zw() { return ReadFileBytes(zw); }
    std::vector<std::string> PermanentLog() const {
        std::vector<std::string> out;
        for (const std::string& l : host.log)
            if (l.find(">>>") == std::string::npos && l.find("<<<") == std::string::npos) out.push_back(l);
        return out;
    }

    HostRecorder host;
    std::string src, zw, err;
    int savedPlc = 1, savedMin = 2;
    long baseline = 0;
    int window = 0;
};

const char* const kSimple =
    "PROGRAM p\n"
    "VAR_INPUT a; b; END_VAR;\n"
    "VAR_OUTPUT y; z; END_VAR;\n"
    "y := a;\n"
    "z := b;\n";

TEST_F(DriverTest, CleanProgramWritesBothFiles) {
    EXPECT_EQ(Compile(std::string(kSimple) + "END_PROGRAM;\n"), 1);
    EXPECT_EQ(CS.ErrorCount, 0);
    EXPECT_EQ(CS.WarningCount, 0);
    EXPECT_EQ(Err(), "");
    std::string z = Zw();
    size_t end = z.find("\r\n\r\n__END\r\n\r\nDEVICE:\r\n\t\tTREVA\r\n");
    ASSERT_NE(end, std::string::npos) << z;
    EXPECT_NE(z.find("\t\ta_AT_15\r\n\t\tb_AT_16\r\n\t\ty_AT_25\r\n\t\tz_AT_26\r\n"), std::string::npos);
    const std::string tail = "\r\nKritische_Pfade:\r\n";
    ASSERT_GE(z.size(), tail.size());
    EXPECT_EQ(z.substr(z.size() - tail.size()), tail);
    EXPECT_GT(end, 0u);  // the equations come first
    // One permanent log line per statement, alternating.
    std::vector<std::string> dots = {".", ".."};
    std::vector<std::string> logged;
    for (const std::string& l : PermanentLog())
        if (l == "." || l == "..") logged.push_back(l);
    EXPECT_EQ(logged, dots);
    EXPECT_EQ(host.log.back().find(">>>") != std::string::npos || host.log.back().find("<<<") != std::string::npos, true);
}

TEST_F(DriverTest, EndOfProgramVariants) {
    std::string body = "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR;\ny := a;\n";
    struct Case { std::string tail; int result; std::string errText; } cases[] = {
        {"END_PROGRAM;", 1, ""},
        {"ENDPROGRAM;", 1, ""},
        {"END_PROGRAM", 0, "Zeile 3: ; fehlt\r\n"},
        // The statement's own look for #ENDNOMIN and the loop's next read both
        // meet the end of the source.
        {"", 0, "Zeile 3: Bezeichner nicht korrekt\r\nZeile 3: Bezeichner nicht korrekt\r\nZeile 3: ; fehlt\r\nZeile 3: END_PROGRAM-Statement fehlt\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        EXPECT_EQ(Compile(body + c.tail), c.result);
        EXPECT_EQ(Err(), c.errText);
        EXPECT_NE(Zw().find("__END"), std::string::npos);
    }
    // No statement at all: the warning still comes last.
    EXPECT_EQ(Compile("PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR;"), 0);
    std::string e = Err();
    const std::string warn = "END_PROGRAM-Statement fehlt\r\n";
    ASSERT_GE(e.size(), warn.size());
    EXPECT_EQ(e.substr(e.size() - warn.size()), warn);
    EXPECT_EQ(CS.WarningCount, 1);
}

TEST_F(DriverTest, DeclarationErrorsAreNotCountedFurther) {
    EXPECT_EQ(Compile("PROGRAM p VAR_INPUT a; a; b AT 12; c AT FOO; END_VAR; VAR_OUTPUT y; END_VAR;\n"
                      "y := a; END_PROGRAM;"),
              1);
    std::string e = Err();
    EXPECT_NE(e.find("Kennung wurde bereits vergeben\r\n oder ist reserviertes Schl\xFC" "sselwort\r\n"), std::string::npos);
    EXPECT_NE(e.find("Zeile 1: Pin ist reserviert\r\n"), std::string::npos);
    EXPECT_NE(e.find("Zeile 1: Pinnummer mu\xDF Zahl oder spezielles Symbol sein\r\n"), std::string::npos);
    EXPECT_EQ(CS.ErrorCount, 0);
}

TEST_F(DriverTest, FatalDeclarationsLeaveZwUnchanged) {
    WriteFileBytes(zw, "earlier compile");
    EXPECT_EQ(Compile("PROGRAM p VAR_INPUT a; END_VAR; a := 1; END_PROGRAM;"), 0);
    EXPECT_EQ(CS.ErrorCount, 10);
    EXPECT_EQ(Err(), std::string("Es wurden keine In- oder keine Outputs deklariert\r\nSyntaxanalyse wird nicht fortgesetzt\r\n") + kAbbruch);
    EXPECT_EQ(Zw(), "earlier compile");
    // Ten errors in the declarations: the notice is written after "Zu viele Fehler".
    std::string many = "PROGRAM p VAR_INPUT ";
    for (int i = 0; i < 12; ++i) many += "x" + std::to_string(i) + " AT 12; ";
    EXPECT_EQ(Compile(many + "a; END_VAR; VAR_OUTPUT y; END_VAR; y := a;"), 0);
    std::string e = Err();
    EXPECT_NE(e.find("Zu viele Fehler\r\n"), std::string::npos);
    EXPECT_EQ(e.substr(e.size() - std::string(kAbbruch).size()), kAbbruch);
    EXPECT_EQ(CS.ErrorCount, 10);
    EXPECT_EQ(Zw(), "earlier compile");
}

TEST_F(DriverTest, MissingSource) {
    WriteFileBytes(zw, "old");
    std::remove(src.c_str());
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Err(), "Fehler beim \xD6" "ffnen der Datei.\r\n");
    EXPECT_EQ(Zw(), "old");
    EXPECT_EQ(CS.ErrorCount, 1);
}

TEST_F(DriverTest, InOutWithoutOe) {
    PlcType = 1;
    EXPECT_EQ(Compile("PROGRAM p VAR_INPUT a; END_VAR; VAR_IN_OUT io; END_VAR;\n"
                      "io := a;\n\nEND_PROGRAM;"),
              0);
    EXPECT_EQ(Err(), "Zeile 4: Pin wurde als I/O-Pin definiert, Definition der oe-Bedingung fehlt\r\n");
    EXPECT_EQ(Compile("PROGRAM p VAR_INPUT a; END_VAR; VAR_IN_OUT io; END_VAR;\n"
                      "io := a;\nio.OE := a;\nEND_PROGRAM;"),
              1);
    EXPECT_EQ(Err(), "");
}

TEST_F(DriverTest, RefusedNodePoolTouchesNoFile) {
    WriteFileBytes(src, kSimple);
    WriteFileBytes(zw, "old");
    WorkMemoryFailAt(1, true);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(host.oomBoxes, 1);
    EXPECT_EQ(CS.ErrorCount, 2);  // both refusals counted, written nowhere
    EXPECT_FALSE(FileExists(err));
    EXPECT_EQ(Zw(), "old");
    EXPECT_TRUE(host.diags.empty());
}

TEST_F(DriverTest, SmallNodePoolIsEnough) {
    WriteFileBytes(src, std::string(kSimple) + "END_PROGRAM;");
    WorkMemoryFailAt(1);  // only the large block is refused
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(host.oomBoxes, 0);
    EXPECT_NE(Zw().find("__END"), std::string::npos);
}

TEST_F(DriverTest, ErrFileCannotBeCreated) {
    WriteFileBytes(src, kSimple);
    err = front_test::ScratchDir() + "no_such_dir/x/prog.ERR";
    EXPECT_EQ(Run(), 0);
    EXPECT_GE(CS.ErrorCount, 1);
    ASSERT_EQ(host.diags.size(), 1u);
    EXPECT_EQ(host.diags[0].line, 0);
    EXPECT_EQ(host.diags[0].severity, 1);
    EXPECT_EQ(host.diags[0].text, "Datei " + err + " kann nicht angelegt werden");
    EXPECT_FALSE(FileExists(zw));
    EXPECT_FALSE(FileExists(err));
}

TEST_F(DriverTest, ZwFileCannotBeCreated) {
    WriteFileBytes(src, std::string(kSimple) + "END_PROGRAM;");
    std::string goodZw = zw;
    zw = front_test::ScratchDir() + "no_such_dir/x/prog.ZW";
    EXPECT_EQ(Run(), 0);
    std::string msg = "Datei " + zw + " kann nicht angelegt werden";
    EXPECT_EQ(Err(), msg + "\r\n");
    ASSERT_EQ(host.diags.size(), 1u);
    EXPECT_EQ(host.diags[0].text, msg);
    EXPECT_EQ(host.oomBoxes, 0);
    zw = goodZw;
}

// Every work-memory request of a whole compile refused in turn: the compile
// ends, gives every block back, and a refusal that ends it shows the box.
TEST_F(DriverTest, EveryRefusalEndsCleanly) {
    std::string program =
        "PROGRAM p\nVAR_INPUT a; b; c; END_VAR;\nVAR_OUTPUT y; z; w; END_VAR;\nVAR_ARRAY g [a, b]; END_VAR;\n"
        "y := a AND b;\nIF a THEN z := b; ELSE z := c; END_IF;\nCASE g OF 1: w := a; ELSE w := b; END_CASE;\n"
        "y.OE := c;\nEND_PROGRAM;\n";
    WriteFileBytes(src, program);
    WorkMemoryResetCounters();
    int clean = Run();
    long requests = WorkMemoryRequestCount();
    ASSERT_GT(requests, 5);
    std::string cleanZw = Zw();
    for (long k = 1; k <= requests; ++k) {
        SCOPED_TRACE(k);
        WorkMemoryResetCounters();
        WorkMemoryFailAt(k);
        int r = Run();
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), baseline);
        if (host.oomBoxes > 0) {
            EXPECT_EQ(r, 0);
            EXPECT_NE(Err().find("Speicher voll"), std::string::npos);
        }
        if (k == 1) {
            EXPECT_EQ(host.oomBoxes, 0);  // the small pool is enough
            EXPECT_EQ(r, clean);
        }
    }
    EXPECT_FALSE(cleanZw.empty());
}

// Inputs that must end with diagnostics (no hang, no crash).
TEST_F(DriverTest, BadInputsEnd) {
    std::vector<std::string> sources = {
        "PROGRAM p VAR_OUTPUT q0; END_VA(R;",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR; ((((",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR; y := (a",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR; y ( a; y (;",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR; IF a THEN",
        "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR; CASE",
        std::string("PROGRAM p\0\xFF\r\r\n", 14),
    };
    // Random bytes around a valid header, from a fixed seed.
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    const char alphabet[] = "PROGRAMVAR_INPUTOUTEND_ATIFCASE;:=,.()[]*#&-<> \n\t0123456789abxy";
    for (int i = 0; i < 120; ++i) {
        std::string s = "PROGRAM p VAR_INPUT a; END_VAR; VAR_OUTPUT y; END_VAR;\n";
        int len = 1 + next() % 80;
        for (int j = 0; j < len; ++j) {
            unsigned r = next();
            s += (r % 7 == 0) ? static_cast<char>(r % 256) : alphabet[r % (sizeof alphabet - 1)];
        }
        sources.push_back(s);
    }
    for (const std::string& s : sources) {
        SCOPED_TRACE(s);
        Compile(s);
        EXPECT_TRUE(FileExists(err));
        EXPECT_EQ(WorkMemoryOutstandingBlocks(), baseline);
    }
}

}  // namespace
