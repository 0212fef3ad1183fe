#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "compiler/front/driver.h"
#include "front_fixture.h"

namespace {

using Args = std::vector<std::string>;

TEST(CliArguments, OptionsAndUsageErrors) {
    struct Case { Args args; int rc; bool plcGiven; int plc; bool minGiven; int min; const char* source; } cases[] = {
        {{"a.sqx"}, CLI_OK, false, 1, false, 2, "a.sqx"},
        {{"--plc", "TREVA", "a.sqx"}, CLI_OK, true, 0, false, 2, "a.sqx"},
        {{"a.sqx", "--plc", "ZIRKO_M2E"}, CLI_OK, true, 5, false, 2, "a.sqx"},
        {{"--plc=ZIRKO_M2", "--min=NOMIN", "a.sqx"}, CLI_OK, true, 4, true, 0, "a.sqx"},
        {{"--plc", "TREVA_E", "--min", "STRONGMIN", "x"}, CLI_OK, true, 0, true, 1, "x"},
        {{"--plc", "ZIRKO_E", "x"}, CLI_OK, true, 1, false, 2, "x"},
        {{"--min", "ESPRESSO", "--", "-odd.sqx"}, CLI_OK, false, 1, true, 2, "-odd.sqx"},
        {{}, CLI_USAGE, false, 1, false, 2, ""},
        {{"a", "b"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"--plc"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"a.sqx", "--min"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"--plc", "treva", "a"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"--min", "FAST", "a"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"--fast", "a"}, CLI_USAGE, false, 1, false, 2, ""},
        {{"-p", "a"}, CLI_USAGE, false, 1, false, 2, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        CliOptions o;
        std::string error;
        EXPECT_EQ(ParseCliArguments(c.args, &o, &error), c.rc);
        if (c.rc != CLI_OK) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(o.plcGiven, c.plcGiven);
        if (c.plcGiven) {
            EXPECT_EQ(o.plcType, c.plc);
        }
        EXPECT_EQ(o.minGiven, c.minGiven);
        if (c.minGiven) {
            EXPECT_EQ(o.minLevel, c.min);
        }
        EXPECT_EQ(o.source, c.source);
    }
}

TEST(CliText, Cp1252ToUtf8) {
    EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
    EXPECT_EQ(Cp1252ToUtf8("Schl\xFC" "ssel \xC4\xD6\xDC\xE4\xF6\xDF"), "Schl\xC3\xBCssel \xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\x9F");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");      // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x93\x94"), "\xE2\x80\x9C\xE2\x80\x9D");
    EXPECT_EQ(Cp1252ToUtf8("\xA0"), "\xC2\xA0");
    EXPECT_EQ(Cp1252ToUtf8("\xFF"), "\xC3\xBF");
    EXPECT_EQ(Cp1252ToUtf8(std::string("\x81", 1)), "\xC2\x81");
}

TEST(CliText, DiagnosticLines) {
    struct Case { int line; int sev; std::string text; std::string want; } cases[] = {
        {7, 1, "; fehlt", "p.sqx:7: error: ; fehlt"},
        {0, 1, "Speicher voll", "p.sqx: error: Speicher voll"},
        {3, 0, "END_PROGRAM-Statement fehlt", "p.sqx:3: warning: END_PROGRAM-Statement fehlt"},
        {12, 1, "Kennung wurde bereits vergeben\n oder ist reserviertes Schl\xFC" "sselwort",
         "p.sqx:12: error: Kennung wurde bereits vergeben oder ist reserviertes Schl\xC3\xBCsselwort"},
        {0, 1, "Es wurden keine In- oder keine Outputs deklariert\nSyntaxanalyse wird nicht fortgesetzt",
         "p.sqx: error: Es wurden keine In- oder keine Outputs deklariert Syntaxanalyse wird nicht fortgesetzt"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDiagnostic("p.sqx", c.line, c.sev, c.text), c.want);
}

// Runs talmirc in a scratch folder of its own (TALMIR.ini is read from the
// current directory).
class CliRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
        oldCwd = buf;
        dir = front_test::ScratchDir() + "cli_run_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string cmd = "mkdir -p '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        for (const char* f : {"prog.sqx", "prog.ZW", "prog.ERR", "TALMIR.ini"}) std::remove(f);
        savedPlc = PlcType;
        savedMin = MinLevel;
    }
    void TearDown() override {
        EXPECT_EQ(chdir(oldCwd.c_str()), 0);
        PlcType = savedPlc;
        MinLevel = savedMin;
    }
    int Run(const Args& args) {
        out.str("");
        err.str("");
        return TalmircMain(args, out, err, false);
    }
    std::vector<std::string> OutLines() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }
    std::string oldCwd, dir;
    std::ostringstream out, err;
    int savedPlc = 1, savedMin = 2;
};

const char* const kGood = "PROGRAM p\nVAR_INPUT a; b; END_VAR;\nVAR_OUTPUT y; END_VAR;\ny := a AND b;\nEND_PROGRAM;\n";

TEST_F(CliRunTest, CleanCompile) {
    front_test::WriteFileBytes("prog.sqx", kGood);
    EXPECT_EQ(Run({"--plc", "TREVA", "prog.sqx"}), CLI_OK);
    std::vector<std::string> lines = OutLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "Text wird compiliert");
    EXPECT_EQ(lines.back(), "Compilevorgang beendet, Warnungen: 0, Fehler: 0.");
    for (const std::string& l : lines) {
        EXPECT_EQ(l.find(">>>"), std::string::npos);
        EXPECT_EQ(l.find("<<<"), std::string::npos);
    }
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(PlcType, 0);
    EXPECT_TRUE(front_test::FileExists("prog.ZW"));
    EXPECT_NE(front_test::ReadFileBytes("prog.ZW").find("\t\tTREVA\r\n"), std::string::npos);
    EXPECT_EQ(front_test::ReadFileBytes("prog.ERR"), "");
    EXPECT_FALSE(front_test::FileExists("TALMIR.ini"));  // never written
}

TEST_F(CliRunTest, ErrorsWarningsAndAbandon) {
    front_test::WriteFileBytes("prog.sqx", "PROGRAM p\nVAR_INPUT a; END_VAR;\nVAR_OUTPUT y; END_VAR;\ny := a;\nEND_PROGRAM\n");
    EXPECT_EQ(Run({"prog.sqx"}), CLI_ERRORS);
    EXPECT_EQ(OutLines().back(), "Compilevorgang beendet, Warnungen: 0, Fehler: 1.");
    EXPECT_NE(err.str().find("prog.sqx:6: error: ; fehlt\n"), std::string::npos) << err.str();

    front_test::WriteFileBytes("prog.sqx", "PROGRAM p\nVAR_INPUT a; END_VAR;\n");
    EXPECT_EQ(Run({"prog.sqx"}), CLI_ERRORS);
    EXPECT_EQ(OutLines().back(), "Compilevorgang abgebrochen, zu viele oder zu schwere Fehler.");
    EXPECT_NE(err.str().find("prog.sqx: error: Zu viele oder gravierende Fehler in der Deklaration Syntaxanalyse"),
              std::string::npos);

    front_test::WriteFileBytes("prog.sqx", "PROGRAM p\nVAR_INPUT a; END_VAR;\nVAR_OUTPUT y; END_VAR;\ny := a;\n");
    EXPECT_EQ(Run({"prog.sqx"}), CLI_ERRORS);  // the end of the source is an identifier error
    EXPECT_NE(err.str().find("prog.sqx:5: warning: END_PROGRAM-Statement fehlt\n"), std::string::npos);
}

TEST_F(CliRunTest, MissingSourceIsNoUsageError) {
    EXPECT_EQ(Run({"nothere.sqx"}), CLI_ERRORS);
    EXPECT_EQ(err.str(), "nothere.sqx: error: Fehler beim \xC3\x96" "ffnen der Datei.\n");
    EXPECT_EQ(OutLines().front(), "Text wird compiliert");
    EXPECT_FALSE(front_test::FileExists("nothere.ZW"));
    std::remove("nothere.ERR");
}

TEST_F(CliRunTest, UsageErrors) {
    for (const Args& a : {Args{}, Args{"a", "b"}, Args{"--plc"}, Args{"--bogus", "a"}, Args{"--plc", "X", "a"}}) {
        EXPECT_EQ(Run(a), CLI_USAGE);
        EXPECT_NE(err.str().find("usage: talmirc"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(Run({"--help"}), CLI_OK);
    EXPECT_NE(out.str().find("usage: talmirc"), std::string::npos);
}

TEST_F(CliRunTest, SettingsFileFillsWhatIsNotGiven) {
    front_test::WriteFileBytes("prog.sqx", kGood);
    front_test::WriteFileBytes("TALMIR.ini", "TREVASPS_Type=ZIRKO_M2E\nTREVAMinLevel=NOMIN\n");
    std::string before = front_test::ReadFileBytes("TALMIR.ini");
    EXPECT_EQ(Run({"prog.sqx"}), CLI_OK);
    EXPECT_EQ(PlcType, 5);
    EXPECT_EQ(MinLevel, 0);
    EXPECT_NE(front_test::ReadFileBytes("prog.ZW").find("\t\tZIRKO_M2E\r\n"), std::string::npos);
    EXPECT_EQ(Run({"--min", "ESPRESSO", "prog.sqx"}), CLI_OK);
    EXPECT_EQ(PlcType, 5);
    EXPECT_EQ(MinLevel, 2);
    EXPECT_EQ(front_test::ReadFileBytes("TALMIR.ini"), before);
    std::remove("TALMIR.ini");
    EXPECT_EQ(Run({"prog.sqx"}), CLI_OK);  // defaults: ZIRKO L2, ESPRESSO
    EXPECT_EQ(PlcType, 1);
    EXPECT_EQ(MinLevel, 2);
}

TEST_F(CliRunTest, LongPathAndDerivedNames) {
    std::string sub = std::string(150, 'd');
    ASSERT_EQ(std::system(("mkdir -p '" + sub + "'").c_str()), 0);
    std::string path = sub + "/" + std::string(120, 'n') + ".sqx";
    front_test::WriteFileBytes(path, kGood);
    EXPECT_EQ(Run({path}), CLI_OK);
    std::string stem = path.substr(0, path.size() - 3);
    EXPECT_TRUE(front_test::FileExists(stem + "ZW"));
    EXPECT_TRUE(front_test::FileExists(stem + "ERR"));
    // No extension of up to three characters: the new one is added after a dot.
    front_test::WriteFileBytes("prog", kGood);
    EXPECT_EQ(Run({"prog"}), CLI_OK);
    EXPECT_TRUE(front_test::FileExists("prog.ZW"));
    std::remove("prog");
}

TEST_F(CliRunTest, ErrFileThatCannotBeCreated) {
    front_test::WriteFileBytes("prog.sqx", kGood);
    ASSERT_EQ(std::system("mkdir -p prog.ERR"), 0);  // a folder where the file should be
    EXPECT_EQ(Run({"prog.sqx"}), CLI_ERRORS);
    EXPECT_NE(err.str().find("prog.sqx: error: Datei prog.ERR kann nicht angelegt werden"), std::string::npos);
    EXPECT_FALSE(front_test::FileExists("prog.ZW"));
    EXPECT_EQ(OutLines().back(), "Compilevorgang beendet, Warnungen: 0, Fehler: 1.");
    ASSERT_EQ(std::system("rmdir prog.ERR"), 0);
}

}  // namespace
