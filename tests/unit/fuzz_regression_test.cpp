// Replays every kept fuzz input (tests/fuzz/regressions) through the normal
// build, decoded as the fuzz target decodes it: each compile must end, give
// back its work memory and node pool, close its streams and return what its
// error count says; a differential input must give the same files with the
// reference algorithms.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <string>
#include <vector>

#include <unistd.h>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/statements/expr_tree.h"
#include "front_fixture.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const std::string kDir = std::string(TALMIR_TEST_DATA) + "/fuzz/regressions";

std::vector<std::string> RegressionFiles() {
    std::vector<std::string> names;
    if (DIR* d = opendir(kDir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != ".." && n != "README") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FuzzRegressionTest, EveryKeptInputCompilesCleanly) {
    const std::vector<std::string> files = RegressionFiles();
    ASSERT_FALSE(files.empty()) << "no inputs in " << kDir;
    front_test::HostRecorder host;
    host.Install();
    const int savedPlc = PlcType, savedMin = MinLevel;
    const std::string base = front_test::ScratchDir() + "fuzz_regression_" + std::to_string(getpid());
    const std::string src = base + ".sqx", zw = base + ".ZW", err = base + ".ERR";
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const std::string bytes = front_test::ReadFileBytes(kDir + "/" + name);
        talmir_fuzz::FuzzCase c =
            talmir_fuzz::DecodeFuzzInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        front_test::WriteFileBytes(src, std::string(reinterpret_cast<const char*>(c.source), c.sourceSize));
        std::string refErr, refZw;
        int refRc = -1;
        for (int reference : {1, 0}) {
            if (reference && !c.differential) continue;
            UseReferenceAlgorithms = reference;
            std::remove(zw.c_str());
            PlcType = c.plcType;
            MinLevel = c.minLevel;
            host.oomBoxes = 0;
            const long before = WorkMemoryOutstandingBlocks();
            WorkMemoryResetCounters();
            WorkMemoryFailAt(c.failAt);
            const int rc = CompileSource(src.c_str(), zw.c_str(), err.c_str(), nullptr);
            WorkMemoryResetCounters();
            EXPECT_EQ(WorkMemoryOutstandingBlocks(), before) << "work memory not given back";
            EXPECT_EQ(NodePool, nullptr);
            EXPECT_EQ(rc, CS.ErrorCount <= 0 ? 1 : 0);
            EXPECT_FALSE(CS.Source.IsOpen() || CS.Err.IsOpen() || CS.Zw.IsOpen()) << "a stream left open";
            if (c.failAt > 1) {
                EXPECT_LE(host.oomBoxes, 2);
            }
            // Whatever the input, the ERR file has whole CR LF lines.
            const std::string errText = front_test::ReadFileBytes(err);
            if (!errText.empty()) {
                ASSERT_GE(errText.size(), 2u);
                EXPECT_EQ(errText.substr(errText.size() - 2), "\r\n");
            }
            const std::string zwText = front_test::ReadFileBytes(zw);
            if (reference) {
                refRc = rc;
                refErr = errText;
                refZw = zwText;
            } else if (c.differential) {
                EXPECT_EQ(rc, refRc);
                EXPECT_EQ(errText, refErr);
                EXPECT_EQ(zwText, refZw);
            }
        }
        UseReferenceAlgorithms = 0;
    }
    PlcType = savedPlc;
    MinLevel = savedMin;
    SetCompileHost(nullptr);
    for (const std::string& p : {src, zw, err}) std::remove(p.c_str());
}

}  // namespace
