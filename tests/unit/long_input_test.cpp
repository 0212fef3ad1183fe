// Long inputs: source lines of megabytes, a 10 MB source, constants with
// very many digits, and paths longer than any fixed buffer. Each must be
// read without a write past a buffer (the sanitizer build checks that) and
// give the same files as the short input of the same kind.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_host.h"
#include "compiler/front/work_memory.h"
#include "front_fixture.h"

using front_test::FileExists;
using front_test::ReadFileBytes;
using front_test::WriteFileBytes;

namespace {

constexpr size_t kMegabyte = size_t(1) << 20;

const char kHeader[] =
    "PROGRAM lang\n"
    "VAR_INPUT\n  a;\n  b;\n  c;\nEND_VAR;\n"
    "VAR_OUTPUT\n  y;\n  z;\nEND_VAR;\n"
    "VAR_ARRAY\n  g [a, b, c];\nEND_VAR;\n";

struct Result {
    int exit;
    std::string out, err;   // standard output and standard error of talmirc
    std::string zw, errFile;
};

// The Windows program compiles on a worker thread with the default stack of
// 1 MB; the compiles here get no more.
constexpr size_t kWorkerStack = kMegabyte;

struct Job {
    std::vector<std::string> args;
    std::ostringstream out, err;
    int exit = -1;
};

void* RunJob(void* p) {
    Job* job = static_cast<Job*>(p);
    job->exit = TalmircMain(job->args, job->out, job->err, false);
    return nullptr;
}

int TalmircOnWorker(const std::vector<std::string>& args, std::string* out, std::string* err) {
    Job job;
    job.args = args;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kWorkerStack);
    pthread_t t;
    EXPECT_EQ(pthread_create(&t, &attr, &RunJob, &job), 0);
    pthread_join(t, nullptr);
    pthread_attr_destroy(&attr);
    *out = job.out.str();
    *err = job.err.str();
    return job.exit;
}

Result Talmirc(const std::string& source, const char* level = "ESPRESSO") {
    Result r;
    long before = WorkMemoryOutstandingBlocks();
    r.exit = TalmircOnWorker({"--plc", "TREVA", "--min", level, source}, &r.out, &r.err);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before) << "compile memory not given back";
    std::string base = source.substr(0, source.rfind('.') + 1);
    r.zw = ReadFileBytes(base + "ZW");
    r.errFile = ReadFileBytes(base + "ERR");
    return r;
}

// Compiles text and a short counterpart in the scratch folder.
Result CompileText(const std::string& name, const std::string& text, const char* level = "ESPRESSO") {
    // The pid keeps concurrent runs of the tests apart.
    std::string path = front_test::ScratchDir() + "long_input_" + std::to_string(getpid()) + "_" + name + ".sqx";
    WriteFileBytes(path, text);
    Result r = Talmirc(path, level);
    for (const char* ext : {"sqx", "ZW", "ERR"}) std::remove((path.substr(0, path.size() - 3) + ext).c_str());
    return r;
}

// The ERR text with every "Zeile N: " prefix moved on by delta lines.
std::string ShiftLineNumbers(const std::string& err, int delta) {
    std::string out;
    size_t at = 0;
    while (at < err.size()) {
        size_t end = err.find("\r\n", at);
        end = end == std::string::npos ? err.size() : end + 2;
        std::string line = err.substr(at, end - at);
        size_t colon = line.find(": ");
        if (line.compare(0, 6, "Zeile ") == 0 && colon != std::string::npos)
            line = "Zeile " + std::to_string(std::stoi(line.substr(6, colon - 6)) + delta) + line.substr(colon);
        out += line;
        at = end;
    }
    return out;
}

// A long line and the short line that must give the same ZW and ERR files.
struct LongLineCase {
    const char* name;
    std::string longLine;
    std::string shortLine;
};

std::string Repeat(const std::string& s, size_t times) {
    std::string r;
    r.reserve(s.size() * times);
    for (size_t i = 0; i < times; ++i) r += s;
    return r;
}

std::vector<LongLineCase> LongLineCases() {
    const std::string mb4(4 * kMegabyte, 'x');
    return {
        // Skipped text on one line: the statement after it is compiled.
        {"comment", "(* " + mb4 + " *) y := a AND b;", "(* x *) y := a AND b;"},
        {"blanks", std::string(4 * kMegabyte, ' ') + "y := a AND b;", " y := a AND b;"},
        {"tabs_and_blanks", std::string(2 * kMegabyte, '\t') + std::string(2 * kMegabyte, ' ') + "y := a;", "\t y := a;"},
        // An identifier of megabytes is too long like one of 14 letters (the
        // 14th is dropped with the report, the rest skipped up to the ";").
        {"identifier", "y := " + std::string(4 * kMegabyte, 'a') + ";", "y := aaaaaaaaaaaaaa;"},
        {"identifier_target", std::string(4 * kMegabyte, 'y') + " := a;", "yyyyyyyyyyyyyy := a;"},
        // Constants with a megabyte of digits: refused like a few digits too many.
        {"binary_constant", "IF g = 2#" + std::string(kMegabyte, '0') + "101 THEN y := 1; END_IF;",
         "IF g = 2#0101 THEN y := 1; END_IF;"},
        {"binary_constant_ones", "IF g = 2#" + std::string(kMegabyte, '1') + " THEN y := 1; END_IF;",
         "IF g = 2#1111 THEN y := 1; END_IF;"},
        {"binary_constant_separated", "IF g = 2#" + Repeat("1_", kMegabyte / 2) + "1 THEN y := 1; END_IF;",
         "IF g = 2#1_1_1_1 THEN y := 1; END_IF;"},
        {"decimal_constant", "IF g = " + std::string(kMegabyte, '9') + " THEN y := 1; END_IF;",
         "IF g = 1000 THEN y := 1; END_IF;"},
        {"decimal_leading_zeros", "IF g = " + std::string(kMegabyte, '0') + "5 THEN y := 1; END_IF;",
         "IF g = 5 THEN y := 1; END_IF;"},
        {"single_operand_constant", "y := a = 2#" + std::string(kMegabyte, '0') + "1;", "y := a = 2#01;"},
        {"case_label", "CASE g OF " + std::string(kMegabyte, '7') + ": y := 1; END_CASE;",
         "CASE g OF 7777: y := 1; END_CASE;"},
        // Operator chains of a megabyte that fill most of the node pool
        // (190,000 operands, two nodes each): minimized like the short ones.
        {"or_chain", "y := a" + Repeat(" OR b", 190000) + ";", "y := a OR b;"},
        {"xor_chain", "y := a" + Repeat(" XOR b", 190000) + ";", "y := a;"},
        {"and_not_chain", "y := c" + Repeat(" AND NOT a", 120000) + ";", "y := c AND NOT a;"},
        {"products", "y := a" + Repeat(" OR (b AND c)", 70000) + ";", "y := a OR b AND c;"},
        {"parenthesised", "y := " + Repeat("(a OR b) AND ", 60000) + "c;", "y := (a OR b) AND c;"},
    };
}

TEST(LongInputTest, LineOfMegabytesActsLikeItsShortCounterpart) {
    for (const LongLineCase& c : LongLineCases()) {
        SCOPED_TRACE(c.name);
        const std::string tail = "\nz := c;\nEND_PROGRAM;\n";
        Result longer = CompileText(std::string(c.name) + "_long", kHeader + c.longLine + tail);
        Result shorter = CompileText(std::string(c.name) + "_short", kHeader + c.shortLine + tail);
        ASSERT_FALSE(shorter.zw.empty() && shorter.errFile.empty());
        EXPECT_EQ(longer.exit, shorter.exit);
        EXPECT_EQ(longer.zw, shorter.zw);
        EXPECT_EQ(longer.errFile, shorter.errFile);
    }
}

TEST(LongInputTest, ChainBeyondTheNodePool) {
    // 400,000 operands need more nodes than the pool has: the statement
    // fails with "Speicher voll", an error of the statement and not an
    // out-of-memory end: no box, and the ZW file is completed.
    Result r = CompileText("pool_overflow",
                           kHeader + ("y := a" + Repeat(" OR b", 400000) + ";\nz := c;\nEND_PROGRAM;\n"));
    EXPECT_EQ(r.exit, CLI_ERRORS);
    EXPECT_EQ(r.errFile.compare(0, 15, "Speicher voll\r\n"), 0) << r.errFile;
    EXPECT_EQ(r.err.find("Nicht gen"), std::string::npos) << r.err;
    EXPECT_NE(r.zw.find("__END"), std::string::npos);
}

TEST(LongInputTest, TenMegabyteSource) {
    // A program with 10 MB of comment lines and blank lines between its
    // statements: the equations are those of the program without them, and a
    // diagnostic at the end carries the line number counted through them.
    const std::string statements[] = {"y := a AND NOT b;", "IF c THEN z := g = 5; END_IF;"};
    std::string padded = kHeader, plain = kHeader;
    const std::string commentLine = "(* " + std::string(60, '-') + " *)\n";
    const size_t padLines = 10 * kMegabyte / (commentLine.size() + 1) / 2 + 1;
    for (const std::string& s : statements) {
        for (size_t i = 0; i < padLines; ++i) padded += commentLine + "\n";
        padded += s + "\n";
        plain += s + "\n";
    }
    ASSERT_GE(padded.size(), 10 * kMegabyte);
    // No END_PROGRAM: the diagnostics at the end of the source carry the
    // line numbers of the short program plus the padding lines.
    Result big = CompileText("ten_mb", padded);
    Result small = CompileText("ten_mb_plain", plain);
    EXPECT_EQ(big.zw, small.zw);
    EXPECT_NE(big.zw.find("__END"), std::string::npos);
    int plainLines = 0, paddedLines = 0;
    for (char ch : plain) plainLines += ch == '\n';
    for (char ch : padded) paddedLines += ch == '\n';
    ASSERT_NE(small.errFile.find("END_PROGRAM-Statement fehlt"), std::string::npos);
    EXPECT_EQ(big.errFile, ShiftLineNumbers(small.errFile, paddedLines - plainLines));
}

TEST(LongInputTest, ManyStatements) {
    // 2 MB of real statements (a hundred thousand): every one is compiled,
    // the error limit holds the ERR file to ten entries.
    std::string text = kHeader;
    const std::string statement = "y := a AND b OR c;\n";
    while (text.size() < 2 * kMegabyte) text += statement;
    text += "END_PROGRAM;\n";
    Result r = CompileText("many_statements", text, "NOMIN");
    EXPECT_EQ(r.exit, CLI_ERRORS);
    // The first assignment is written, each later one is a second definition.
    EXPECT_NE(r.zw.find("__END"), std::string::npos);
    int entries = 0;
    for (size_t at = 0; (at = r.errFile.find("\r\n", at)) != std::string::npos; at += 2) ++entries;
    EXPECT_EQ(entries, 10);
    EXPECT_NE(r.errFile.find("Zu viele Fehler\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("Compilevorgang abgebrochen, zu viele oder zu schwere Fehler."), std::string::npos);
}

// Paths for talmirc longer than the 128-byte buffers of the Windows program.
class LongPathTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            for (const char* f : {"/p.sqx", "/p.ZW", "/p.ERR"}) std::remove((*it + f).c_str());
            rmdir(it->c_str());
        }
    }
    // A folder of depth levels, each named with width letters.
    std::string Folder(int depth, size_t width) {
        std::string dir = front_test::ScratchDir() + "long_path_" + std::to_string(getpid());
        mkdir(dir.c_str(), 0755);
        made.push_back(dir);
        for (int i = 0; i < depth; ++i) {
            dir += "/" + std::string(width, char('a' + i % 26));
            mkdir(dir.c_str(), 0755);
            made.push_back(dir);
        }
        return dir;
    }
    std::vector<std::string> made;
};

TEST_F(LongPathTest, DeepSourcePathCompilesNextToTheSource) {
    const std::string program = std::string(kHeader) + "y := a;\nz := b\n";
    for (int depth : {3, 8, 16}) {
        std::string dir = Folder(depth, 60);
        std::string src = dir + "/p.sqx";
        ASSERT_GT(src.size(), 127u);
        WriteFileBytes(src, program);
        Result r = Talmirc(src);
        SCOPED_TRACE(src.size());
        EXPECT_EQ(r.exit, CLI_ERRORS);   // the "; fehlt" after z := b
        EXPECT_NE(r.zw.find("__END"), std::string::npos);
        EXPECT_NE(r.errFile.find("; fehlt"), std::string::npos);
        // Diagnostics name the whole path.
        EXPECT_EQ(r.err.compare(0, src.size() + 1, src + ":"), 0) << r.err;
    }
}

TEST_F(LongPathTest, PathsTheSystemRefuses) {
    // A file name longer than a folder entry can hold, and a path longer
    // than the system's limit: the ERR file cannot be created, which both
    // standard error and the exit status say, and nothing is written.
    std::string dir = Folder(0, 0);
    std::vector<std::string> paths = {dir + "/" + std::string(300, 'n') + ".sqx"};
    std::string deep = dir;
    while (deep.size() < 5000) deep += "/" + std::string(200, 'd');
    paths.push_back(deep + "/p.sqx");
    for (const std::string& src : paths) {
        SCOPED_TRACE(src.size());
        std::ostringstream out, err;
        int exit = TalmircMain({"--plc", "TREVA", "--min", "NOMIN", src}, out, err, false);
        EXPECT_EQ(exit, CLI_ERRORS);
        std::string errPath = src.substr(0, src.size() - 3) + "ERR";
        EXPECT_NE(err.str().find("Datei " + errPath + " kann nicht angelegt werden"), std::string::npos) << err.str();
        EXPECT_FALSE(FileExists(errPath));
        EXPECT_NE(out.str().find("Fehler: 1."), std::string::npos) << out.str();
    }
}

}  // namespace
