// libFuzzer target: compiles arbitrary bytes as a source, at the controller,
// level and work-memory refusal chosen by the first byte (fuzz_input.h).
// Besides the sanitizers it checks what every compile must leave behind: all
// work memory given back, the node pool released, and a return value that
// agrees with the error count. A differential input is compiled with the
// reference algorithms as well, and both compiles must write the same files.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "compiler/front/driver.h"
#include "compiler/front/host.h"
#include "compiler/front/work_memory.h"
#include "compiler/logic/algorithm_choice.h"
#include "compiler/statements/expr_tree.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

std::string g_dir;

void Fail(const char* what) {
    std::fprintf(stderr, "talmir_fuzz: %s\n", what);
    std::abort();
}

std::string ReadAll(const std::string& path) {
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

// One compile with the invariants every compile must keep.
int CheckedCompile(const talmir_fuzz::FuzzCase& c, const std::string& src, const std::string& zw,
                   const std::string& err) {
    PlcType = c.plcType;
    MinLevel = c.minLevel;
    std::remove(zw.c_str());
    long before = WorkMemoryOutstandingBlocks();
    WorkMemoryResetCounters();
    if (c.failAt) WorkMemoryFailAt(c.failAt);
    int rc = CompileSource(src.c_str(), zw.c_str(), err.c_str(), nullptr);
    WorkMemoryResetCounters();

    if (WorkMemoryOutstandingBlocks() != before) Fail("work memory not given back");
    if (NodePool != nullptr) Fail("node pool not released");
    if (rc != (CS.ErrorCount <= 0 ? 1 : 0)) Fail("return value disagrees with the error count");
    if (CS.Source.IsOpen() || CS.Err.IsOpen() || CS.Zw.IsOpen()) Fail("a stream left open");
    return rc;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TALMIR_FUZZ_DIR");
    g_dir = tmp ? tmp : "/tmp";
    g_dir += "/talmir_fuzz_" + std::to_string(getpid());
    SetCompileHost(nullptr);
    WorkMemorySetLimit(size_t(1) << 30);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    talmir_fuzz::FuzzCase c = talmir_fuzz::DecodeFuzzInput(data, size);
    std::string src = g_dir + ".sqx", zw = g_dir + ".ZW", err = g_dir + ".ERR";
    std::FILE* f = std::fopen(src.c_str(), "wb");
    if (!f) Fail("cannot write the source file");
    if (c.sourceSize) std::fwrite(c.source, 1, c.sourceSize, f);
    std::fclose(f);

    if (!c.differential) {
        CheckedCompile(c, src, zw, err);
        return 0;
    }
    UseReferenceAlgorithms = 1;
    int refRc = CheckedCompile(c, src, zw, err);
    std::string refZw = ReadAll(zw), refErr = ReadAll(err);
    UseReferenceAlgorithms = 0;
    int rc = CheckedCompile(c, src, zw, err);
    if (rc != refRc) Fail("fast and reference algorithms disagree on the result");
    if (ReadAll(err) != refErr) Fail("fast and reference algorithms write different ERR files");
    if (ReadAll(zw) != refZw) Fail("fast and reference algorithms write different ZW files");
    return 0;
}
