#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "front_fixture.h"

namespace {

class WorkMemoryTest : public front_test::FrontTest {};

TEST_F(WorkMemoryTest, BlocksAreZeroFilledAndGivenBack) {
    long before = WorkMemoryOutstandingBlocks();
    auto* p = static_cast<unsigned char*>(AllocWork(5000, 3));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before + 1);
    for (int i = 0; i < 15000; ++i) ASSERT_EQ(p[i], 0) << i;
    p[14999] = 1;  // the whole block is writable
    FreeWork(p);
    FreeWork(nullptr);
    EXPECT_EQ(WorkMemoryOutstandingBlocks(), before);
    EXPECT_TRUE(host.diags.empty());
}

TEST_F(WorkMemoryTest, RefusalsReportAndCount) {
    struct Case { long failAt; bool after; std::vector<bool> granted; } cases[] = {
        {0, false, {true, true, true, true}},
        {2, false, {true, false, true, true}},
        {2, true, {true, false, false, false}},
        {1, false, {false, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.failAt) + (c.after ? " and after" : ""));
        host.diags.clear();
        CS.ErrorCount = 0;
        WorkMemoryResetCounters();
        WorkMemoryFailAt(c.failAt, c.after);
        int refused = 0;
        for (size_t i = 0; i < c.granted.size(); ++i) {
            void* p = AllocWork(1, 16);
            EXPECT_EQ(p != nullptr, c.granted[i]) << i;
            if (!p) ++refused;
            FreeWork(p);
        }
        EXPECT_EQ(WorkMemoryRequestCount(), static_cast<long>(c.granted.size()));
        EXPECT_EQ(CS.ErrorCount, refused);
        ASSERT_EQ(host.diags.size(), static_cast<size_t>(refused));
        for (const auto& d : host.diags) {
            EXPECT_EQ(d.text, "Speicher voll");
            EXPECT_EQ(d.line, 0);
        }
    }
}

TEST_F(WorkMemoryTest, OversizedRequestsAreRefused) {
    EXPECT_EQ(AllocWork(SIZE_MAX / 2, 4), nullptr);
    WorkMemorySetLimit(1 << 20);
    EXPECT_EQ(AllocWork(2 << 20, 1), nullptr);
    void* small = AllocWork(1000, 1);
    EXPECT_NE(small, nullptr);
    FreeWork(small);
    WorkMemorySetLimit(size_t(8) << 30);
    EXPECT_EQ(CS.ErrorCount, 2);
}

}  // namespace
