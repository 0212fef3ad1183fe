#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "front_fixture.h"

namespace {

class DiagnosticsTest : public front_test::FrontTest {};

TEST_F(DiagnosticsTest, LimitOfTenErrors) {
    CS.LineNumber = 4;
    for (int i = 1; i <= 9; ++i) ReportMessage(("E" + std::to_string(i)).c_str(), 1, 1);
    ReportMessage("W1", 0, 0);   // below the limit: written
    ReportMessage("E10", 1, 1);  // the tenth error: the notice instead
    ReportMessage("E11", 1, 1);  // counted only
    ReportMessage("W2", 0, 1);   // after the limit: counted only
    std::string want;
    for (int i = 1; i <= 9; ++i) want += "Zeile 4: E" + std::to_string(i) + "\r\n";
    want += "W1\r\nZu viele Fehler\r\n";
    EXPECT_EQ(ErrText(), want);
    EXPECT_EQ(CS.ErrorCount, 11);
    EXPECT_EQ(CS.WarningCount, 2);
    ASSERT_EQ(host.diags.size(), 11u);
    EXPECT_EQ(host.diags.back().text, "Zu viele Fehler");
    EXPECT_EQ(host.diags.back().line, 0);
}

TEST_F(DiagnosticsTest, LinePrefixAndMultiLineTexts) {
    CS.LineNumber = 7;
    Report(MSG_SEMIKOLON_FEHLT, 1);
    CS.LineNumber = 12;
    Report(MSG_KENNUNG_VERGEBEN, 1);
    Report(MSG_SPEICHER_VOLL, 0);
    EXPECT_EQ(ErrText(),
              "Zeile 7: ; fehlt\r\n"
              "Zeile 12: Kennung wurde bereits vergeben\r\n oder ist reserviertes Schl\xFC" "sselwort\r\n"
              "Speicher voll\r\n");
    EXPECT_EQ(CS.ErrorCount, 3);
}

TEST_F(DiagnosticsTest, NothingWrittenWithoutErrStream) {
    CS.Err.Close();
    ReportMessage("lost", 1, 1);
    ReportMessage("lost too", 0, 0);
    EXPECT_EQ(CS.ErrorCount, 1);
    EXPECT_EQ(CS.WarningCount, 1);
    EXPECT_TRUE(host.diags.empty());
}

TEST_F(DiagnosticsTest, ProgressFramesAndTransientLines) {
    for (int i = 0; i < 16; ++i) {
        std::string f = ProgressFrame(i);
        std::string marker = i < 8 ? ">>>" : "<<<";
        size_t blanks = i < 8 ? 2 * i : 2 * (15 - i);
        EXPECT_EQ(f, std::string(blanks, ' ') + marker) << i;
    }
    host.log.clear();
    LastLineTransient = 0;
    int start = ProgressIndex;
    LogMessage("first", 0);
    StepProgress();
    StepProgress();
    EXPECT_EQ(ProgressIndex, (start + 2) % 16);
    LogMessage("second", 0);
    std::vector<std::string> want = {"first", "second"};
    EXPECT_EQ(host.log, want);  // each frame replaced the one before
    EXPECT_EQ(LastLineTransient, 0);
}

}  // namespace
