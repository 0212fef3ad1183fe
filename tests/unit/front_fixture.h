// Shared test scaffolding of the front-end tests: a source in memory, an ERR
// file in a scratch folder, and the diagnostics as the host sees them.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/front/diagnostics.h"
#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/lexer.h"
#include "compiler/front/work_memory.h"

namespace front_test {

// A scratch folder of this test process alone (ctest runs tests in parallel
// processes, and several test files name their files by a serial number).
inline std::string ScratchDir() {
    static const std::string dir = [] {
        std::string base = ::testing::TempDir();
        if (!base.empty() && base.back() != '/') base += '/';
        std::string d = base + "talmir_test_" + std::to_string(getpid()) + "/";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool FileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// One diagnostic as the host receives it.
struct Diag {
    int line;
    int severity;
    std::string text;
};

struct HostRecorder {
    std::vector<Diag> diags;
    std::vector<std::string> log;  // permanent and transient lines, in order
    int oomBoxes = 0;

    static void Delete(void* c) {
        auto* self = static_cast<HostRecorder*>(c);
        if (!self->log.empty()) self->log.pop_back();
    }
    static void Append(void* c, const char* t, int) { static_cast<HostRecorder*>(c)->log.push_back(t); }
    static void Diagnostic(void* c, int line, int sev, const char* t) {
        static_cast<HostRecorder*>(c)->diags.push_back({line, sev, t});
    }
    static void Oom(void* c, void*) { ++static_cast<HostRecorder*>(c)->oomBoxes; }

    void Install() {
        static CompileHost h;
        h = {&Delete, &Append, &Diagnostic, &Oom, this};
        SetCompileHost(&h);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const Diag& d : diags) t.push_back(d.text);
        return t;
    }
};

// A lexer-level fixture: CS reset, the ERR file open, a source in memory.
class FrontTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorkMemoryResetCounters();
        host.Install();
        errPath = ScratchDir() + "front_fixture_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ERR";
        CS.LineNumber = 1;
        CS.WarningCount = 0;
        CS.ErrorCount = 0;
        CS.Err.Open(errPath.c_str());
    }
    void TearDown() override {
        CS.Err.Close();
        CS.Source.Close();
        SetCompileHost(nullptr);
        WorkMemoryResetCounters();
        std::remove(errPath.c_str());
    }
    void Source(const std::string& text) {
        CS.Source.OpenBuffer(text.data(), text.size());
        CS.LineNumber = 1;
        CS.ErrorCount = 0;
        CS.WarningCount = 0;
    }
    std::string Rest() {  // the unread rest of the source
        std::string s;
        for (int c; (c = CS.Source.Get()) != EOF;) s += static_cast<char>(c);
        return s;
    }
    std::string ErrText() {
        CS.Err.Close();
        std::string t = ReadFileBytes(errPath);
        CS.Err.Open(errPath.c_str());  // truncates: call once, at the end
        return t;
    }

    HostRecorder host;
    std::string errPath;
};

}  // namespace front_test
