// The settings file "TALMIR.ini": defaults, every key and value rule of the
// reader, the font line, the five lines of the writer, and round trips.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/settings_file.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("talmir_settings_") + info->name() + "_" +
                std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "TALMIR.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void WriteRaw(const std::string& bytes) {
        std::ofstream f(path_, std::ios::binary);
        f << bytes;
    }
    std::string ReadRaw() {
        std::ifstream f(path_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    int Read(SettingsValues* s) { return ReadSettingsFile(path_.c_str(), s); }

    std::filesystem::path dir_;
    std::string path_;
};

// The defaults as the reader sets them before anything is read.
void ExpectDefaults(const SettingsValues& s) {
    EXPECT_EQ(s.portSetting, 4);
    EXPECT_EQ(s.plcType, 1);
    EXPECT_EQ(s.eTyp, 1);
    EXPECT_EQ(s.minLevel, 2);
    EXPECT_EQ(s.loadSaveUsed, 0);
    EXPECT_EQ(s.settingsDirty, 1);
    EXPECT_EQ(s.font.height, 0);
    EXPECT_EQ(s.font.weight, 0);
    EXPECT_EQ(s.font.faceName[0], '\0');
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndNoFont) {
    SettingsValues s;
    std::memset(&s, 0x5A, sizeof s);
    EXPECT_EQ(Read(&s), 0);
    ExpectDefaults(s);
}

TEST_F(SettingsFileTest, EmptyFileGivesDefaults) {
    WriteRaw("");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 0);
    ExpectDefaults(s);
}

TEST_F(SettingsFileTest, DefaultsWrittenAsFiveCrLfLines) {
    SettingsValues s;
    SetDefaultSettings(&s);
    std::strcpy(s.font.faceName, "System");
    s.font.height = 16;
    s.font.weight = 700;
    s.font.charSet = 0;
    s.font.pitchAndFamily = 34;
    ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
    EXPECT_EQ(ReadRaw(),
              "TREVA_Port=NoLPT\r\n"
              "TREVASPS_Type=ZIRKO\r\n"
              "TREVAMinLevel=ESPRESSO\r\n"
              "Font_Set=16 0 0 0 700 0 0 0 0 0 0 0 34 System\r\n"
              "LoadSaveUsed=0\r\n");
}

TEST_F(SettingsFileTest, PortValues) {
    struct Case {
        const char* value;
        int port;
    } cases[] = {{"LPT1", 0}, {"LPT2", 1}, {"LPT3", 2}, {"USB", 3}, {"NoLPT", 4},
                 {"COM1", 4}, {"lpt1", 4}, {"", 4},     {"LPT1x", 4}};
    for (const Case& c : cases) {
        WriteRaw(std::string("TREVA_Port=") + c.value + "\r\n");
        SettingsValues s;
        EXPECT_EQ(Read(&s), 0);
        EXPECT_EQ(s.portSetting, c.port) << c.value;
        EXPECT_EQ(s.settingsDirty, 1);
        // What the next write stores.
        ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
        EXPECT_EQ(ReadRaw().substr(0, ReadRaw().find("\r\n")),
                  std::string("TREVA_Port=") + PortName(c.port))
            << c.value;
    }
}

TEST_F(SettingsFileTest, TypeValuesRead) {
    struct Case {
        const char* value;
        int plcType, eTyp;
    } cases[] = {
        {"TREVA", 0, 1},     {"ZIRKO", 1, 1},      {"TREVA_E", 0, 11}, {"ZIRKO_E", 1, 11},
        {"ZIRKO_M2", 4, 11}, {"ZIRKO_M2E", 5, 11}, {"zirko", 1, 1},    {"ZIRKO_L2", 1, 1},
        {"", 1, 1},
    };
    for (const Case& c : cases) {
        WriteRaw(std::string("TREVASPS_Type=") + c.value + "\n");
        SettingsValues s;
        Read(&s);
        EXPECT_EQ(s.plcType, c.plcType) << c.value;
        EXPECT_EQ(s.eTyp, c.eTyp) << c.value;
    }
}

TEST_F(SettingsFileTest, TypeNamesWritten) {
    struct Case {
        int plcType, eTyp;
        const char* name;
    } cases[] = {
        {0, 1, "TREVA"},     {0, 11, "TREVA_E"},   {1, 1, "ZIRKO"},    {1, 11, "ZIRKO_E"},
        {4, 11, "ZIRKO_M2"}, {4, 1, "ZIRKO_M2"},   {5, 1, "ZIRKO_M2E"}, {5, 11, "ZIRKO_M2E"},
        {2, 1, "TREVA"},     {3, 11, "TREVA"},     {7, 1, "TREVA"},    {0, 0, "TREVA"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(PlcTypeName(c.plcType, c.eTyp), c.name) << c.plcType << "/" << c.eTyp;
        SettingsValues s;
        SetDefaultSettings(&s);
        s.plcType = c.plcType;
        s.eTyp = c.eTyp;
        ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
        EXPECT_NE(ReadRaw().find(std::string("\r\nTREVASPS_Type=") + c.name + "\r\n"),
                  std::string::npos);
    }
}

TEST_F(SettingsFileTest, M2StaysM2AfterETypSwitchedOff) {
    WriteRaw("TREVASPS_Type=ZIRKO_M2\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.plcType, 4);
    EXPECT_EQ(s.eTyp, 11);
    s.eTyp = 1;  // switched off by hand
    ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
    SettingsValues again;
    Read(&again);
    EXPECT_EQ(again.plcType, 4);
    EXPECT_EQ(again.eTyp, 11);
}

TEST_F(SettingsFileTest, MinLevelValues) {
    struct Case {
        const char* value;
        int level;
    } cases[] = {{"NOMIN", 0},    {"STRONGMIN", 1}, {"ESPRESSO", 2},
                 {"espresso", 2}, {"Nomin", 2},     {"3", 2}};
    for (const Case& c : cases) {
        WriteRaw(std::string("TREVAMinLevel=") + c.value + "\n");
        SettingsValues s;
        Read(&s);
        EXPECT_EQ(s.minLevel, c.level) << c.value;
    }
    EXPECT_EQ(ParseMinLevelName("STRONGMIN"), 1);
    EXPECT_EQ(ParseMinLevelName("strongmin"), -1);
    EXPECT_STREQ(MinLevelName(0), "NOMIN");
    EXPECT_STREQ(MinLevelName(1), "STRONGMIN");
    EXPECT_STREQ(MinLevelName(2), "ESPRESSO");
}

TEST_F(SettingsFileTest, LoadSaveUsedValues) {
    struct Case {
        const char* value;
        int used;
    } cases[] = {{"1", 1},  {"0", 0},  {"2", 0},  {"", 0},  {"x", 0},
                 {"01", 1}, {"1x", 1}, {"+1", 1}, {"-1", 0}, {"11", 0}};
    for (const Case& c : cases) {
        WriteRaw(std::string("LoadSaveUsed=") + c.value + "\n");
        SettingsValues s;
        Read(&s);
        EXPECT_EQ(s.loadSaveUsed, c.used) << c.value;
    }
}

TEST_F(SettingsFileTest, UnrecognisedValueKeepsWhatAnEarlierLineSet) {
    WriteRaw(
        "TREVA_Port=LPT2\r\nTREVA_Port=COM1\r\n"
        "TREVAMinLevel=NOMIN\r\nTREVAMinLevel=espresso\r\n"
        "TREVASPS_Type=TREVA_E\r\nTREVASPS_Type=XYZ\r\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.portSetting, 1);
    EXPECT_EQ(s.minLevel, 0);
    EXPECT_EQ(s.plcType, 0);
    EXPECT_EQ(s.eTyp, 11);
}

TEST_F(SettingsFileTest, LaterLineOverridesAndOrderIsFree) {
    WriteRaw("LoadSaveUsed=1\nTREVAMinLevel=STRONGMIN\nTREVA_Port=USB\n"
             "TREVASPS_Type=ZIRKO_M2E\nTREVAMinLevel=NOMIN\nLoadSaveUsed=0\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.minLevel, 0);
    EXPECT_EQ(s.portSetting, 3);
    EXPECT_EQ(s.plcType, 5);
    EXPECT_EQ(s.eTyp, 11);
    EXPECT_EQ(s.loadSaveUsed, 0);
}

TEST_F(SettingsFileTest, TokensWithoutEqualsAndUnknownKeysChangeNothing) {
    // Blanks around "=" make three tokens: key, "=", value. None sets anything.
    WriteRaw("TREVAMinLevel = NOMIN\nTREVA_Port =LPT1\nTREVASPS_Type= TREVA\n"
             "=NOMIN\nFoo=Bar\ntrevaminlevel=NOMIN\n garbage  \t\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 0);
    ExpectDefaults(s);
}

TEST_F(SettingsFileTest, ValueWithFurtherEqualsIsCompared) {
    WriteRaw("TREVAMinLevel=NOMIN=1\nTREVA_Port=LPT1=\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.minLevel, 2);
    EXPECT_EQ(s.portSetting, 4);
}

TEST_F(SettingsFileTest, FontLineRead) {
    WriteRaw("Font_Set=-13 7 0 0 400 1 0 0 0 3 2 1 49 Courier New\r\nLoadSaveUsed=1\r\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.height, -13);
    EXPECT_EQ(s.font.width, 7);
    EXPECT_EQ(s.font.escapement, 0);
    EXPECT_EQ(s.font.orientation, 0);
    EXPECT_EQ(s.font.weight, 400);
    EXPECT_EQ(s.font.italic, 1);
    EXPECT_EQ(s.font.underline, 0);
    EXPECT_EQ(s.font.strikeOut, 0);
    EXPECT_EQ(s.font.charSet, 0);
    EXPECT_EQ(s.font.outPrecision, 3);
    EXPECT_EQ(s.font.clipPrecision, 2);
    EXPECT_EQ(s.font.quality, 1);
    EXPECT_EQ(s.font.pitchAndFamily, 49);
    EXPECT_STREQ(s.font.faceName, "Courier New");  // blanks kept, no CR
    EXPECT_EQ(s.loadSaveUsed, 1);                   // the next line is read as tokens again
}

TEST_F(SettingsFileTest, FontNumbersMayContinueOnTheNextLine) {
    WriteRaw("Font_Set=12 0 0 0\r\n700 0 0 0 0 0 0 0 2   Times New Roman \r\nTREVA_Port=LPT3\r\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.height, 12);
    EXPECT_EQ(s.font.weight, 700);
    EXPECT_EQ(s.font.pitchAndFamily, 2);
    // Leading blanks skipped; the rest of the line (a trailing blank too) is the name.
    EXPECT_STREQ(s.font.faceName, "Times New Roman ");
    EXPECT_EQ(s.portSetting, 2);
}

TEST_F(SettingsFileTest, FontByteFieldsTakeTheLowByte) {
    WriteRaw("Font_Set=1 2 3 4 5 256 257 511 -1 1000 255 0 300 Arial\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.italic, 0);
    EXPECT_EQ(s.font.underline, 1);
    EXPECT_EQ(s.font.strikeOut, 255);
    EXPECT_EQ(s.font.charSet, 255);
    EXPECT_EQ(s.font.outPrecision, 1000 & 0xFF);
    EXPECT_EQ(s.font.clipPrecision, 255);
    EXPECT_EQ(s.font.quality, 0);
    EXPECT_EQ(s.font.pitchAndFamily, 300 & 0xFF);
    EXPECT_EQ(s.font.escapement, 3);
    EXPECT_EQ(s.font.orientation, 4);
}

TEST_F(SettingsFileTest, ShortFontNumberListKeepsWhatWasRead) {
    // The numbers stop at the name; the name is taken from there.
    WriteRaw("Font_Set=20 8 0 Fixedsys\nTREVAMinLevel=NOMIN\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.height, 20);
    EXPECT_EQ(s.font.width, 8);
    EXPECT_EQ(s.font.escapement, 0);
    EXPECT_EQ(s.font.weight, 0);
    EXPECT_STREQ(s.font.faceName, "Fixedsys");
    EXPECT_EQ(s.settingsDirty, 1);
    EXPECT_EQ(s.minLevel, 0);
}

TEST_F(SettingsFileTest, FontHeightMissingLeavesIt) {
    WriteRaw("Font_Set= 1 2 3 4 5 6 7 8 9 10 11 12 Arial\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    // "Font_Set=" has no number: the height stays 0, the twelve numbers that
    // follow fill the fields after it.
    EXPECT_EQ(s.font.height, 0);
    EXPECT_EQ(s.font.width, 1);
    EXPECT_EQ(s.font.pitchAndFamily, 12);
    EXPECT_STREQ(s.font.faceName, "Arial");
}

TEST_F(SettingsFileTest, EmptyFaceNameTakesTheNextLine) {
    WriteRaw("Font_Set=1 2 3 4 5 6 7 8 9 10 11 12 13\r\nTREVA_Port=LPT1\r\nLoadSaveUsed=1\r\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_STREQ(s.font.faceName, "TREVA_Port=LPT1");
    EXPECT_EQ(s.portSetting, 4);  // that line was used up as the name
    EXPECT_EQ(s.loadSaveUsed, 1);
}

TEST_F(SettingsFileTest, FontLineAtEndOfFileWithoutLineEnd) {
    WriteRaw("Font_Set=9 0 0 0 400 0 0 0 0 0 0 0 0 MS Sans Serif");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_STREQ(s.font.faceName, "MS Sans Serif");
    WriteRaw("Font_Set=9 0 0");
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.height, 9);
    EXPECT_EQ(s.font.width, 0);
    EXPECT_STREQ(s.font.faceName, "");
}

TEST_F(SettingsFileTest, LongFaceNameIsCutTo31Characters) {
    std::string face(40, 'F');
    face[35] = ' ';
    WriteRaw("Font_Set=1 2 3 4 5 6 7 8 9 10 11 12 13 " + face + "\nTREVAMinLevel=NOMIN\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(std::strlen(s.font.faceName), 31u);
    EXPECT_EQ(std::string(s.font.faceName), face.substr(0, 31));
    EXPECT_EQ(s.minLevel, 0);  // the rest of the long line was skipped
}

TEST_F(SettingsFileTest, LongTokensAreOneTokenAndMatchNothing) {
    std::string longValue(60, 'A');
    // A 52nd character must not make a new token out of the tail: "ESPRESSO"
    // at the end of a long token does not count.
    std::string padded = "TREVAMinLevel=" + std::string(60, 'N') + "NOMIN";
    WriteRaw("TREVA_Port=" + longValue + "\n" + padded + "\n" + std::string(300, 'k') +
             "=NOMIN\nTREVASPS_Type=TREVA\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.portSetting, 4);
    EXPECT_EQ(s.minLevel, 2);
    EXPECT_EQ(s.plcType, 0);
    // A long key that matches no key, and a long value of LoadSaveUsed.
    WriteRaw("LoadSaveUsed=" + std::string(80, '0') + "1\n");
    Read(&s);
    EXPECT_EQ(s.loadSaveUsed, 1);
}

TEST_F(SettingsFileTest, EqualsBeyond256CharactersIsNotLookedFor) {
    // The token has an "=" only after 256 characters: it is skipped, which
    // for an unknown key changes nothing either way; for a key made of a
    // known one plus padding, it must not be taken apart anywhere else.
    WriteRaw(std::string(256, 'x') + "=1\nTREVA_Port=LPT2\n");
    SettingsValues s;
    Read(&s);
    EXPECT_EQ(s.portSetting, 1);
}

TEST_F(SettingsFileTest, HugeNumbersAreClamped) {
    WriteRaw("Font_Set=99999999999999999999 -99999999999999999999 0 0 400 0 0 0 0 0 0 0 0 A\n");
    SettingsValues s;
    EXPECT_EQ(Read(&s), 1);
    EXPECT_EQ(s.font.height, INT32_MAX);
    EXPECT_EQ(s.font.width, INT32_MIN);
    EXPECT_EQ(s.font.weight, 400);
}

TEST_F(SettingsFileTest, RoundTripKeepsEverything) {
    SettingsValues s;
    SetDefaultSettings(&s);
    s.portSetting = 2;
    s.plcType = 0;
    s.eTyp = 11;
    s.minLevel = 1;
    s.loadSaveUsed = 1;
    s.font = FontSetting{-16, 0, 0, 0, 700, 0, 1, 0, 0, 3, 2, 1, 49, {}};
    std::strcpy(s.font.faceName, "Courier New");
    ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
    SettingsValues r;
    EXPECT_EQ(Read(&r), 1);
    EXPECT_EQ(r.portSetting, 2);
    EXPECT_EQ(r.plcType, 0);
    EXPECT_EQ(r.eTyp, 11);
    EXPECT_EQ(r.minLevel, 1);
    EXPECT_EQ(r.loadSaveUsed, 1);
    EXPECT_EQ(r.settingsDirty, 1);
    EXPECT_EQ(std::memcmp(&r.font, &s.font, sizeof r.font), 0);
}

TEST_F(SettingsFileTest, FaceNameWithoutNulIsWrittenUpTo31) {
    SettingsValues s;
    SetDefaultSettings(&s);
    std::memset(s.font.faceName, 'Z', sizeof s.font.faceName);  // no NUL at all
    ASSERT_TRUE(WriteSettingsFile(path_.c_str(), s));
    std::string text = ReadRaw();
    EXPECT_NE(text.find(" " + std::string(31, 'Z') + "\r\n"), std::string::npos);
    EXPECT_EQ(text.find(std::string(32, 'Z')), std::string::npos);
}

TEST_F(SettingsFileTest, WriteFailsWhenFileCannotBeCreated) {
    SettingsValues s;
    SetDefaultSettings(&s);
    std::string bad = (dir_ / "no_such_dir" / "TALMIR.ini").string();
    EXPECT_FALSE(WriteSettingsFile(bad.c_str(), s));
    // A folder of that name cannot be opened as a file either.
    EXPECT_FALSE(WriteSettingsFile(dir_.string().c_str(), s));
}

TEST_F(SettingsFileTest, PortNames) {
    const char* names[] = {"LPT1", "LPT2", "LPT3", "USB", "NoLPT"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(PortName(i), names[i]);
        EXPECT_EQ(ParsePortName(names[i]), i);
    }
    EXPECT_EQ(ParsePortName("COM1"), -1);
    EXPECT_STREQ(PortName(7), "NoLPT");
    EXPECT_STREQ(PortName(-1), "NoLPT");
}

}  // namespace
