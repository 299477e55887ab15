#include "core/common/LargeBlocks.h"
#include "core/common/NumberText.h"
#include "core/common/Rounding.h"
#include "core/options/ExposureSetting.h"
#include "windows/common/FittingFont.h"
#include "support/TestSupport.h"

#include <atomic>

constexpr double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
const std::pair<int, QString> kOverflow{FailureNumber::Overflow, "Overflow"};

TEST(NumberText, TextValueReadsTheLeadingNumberAndIsNumericTheWholeText) {
    const std::pair<QString, double> values[] = {
        {"abc", 0.0}, {"640px", 640.0}, {"  12.5", 12.5}, {"-3", -3.0}, {"+4", 4.0}, {".5", 0.5}, {"1e3", 1000.0},
        {"1E+3", 1000.0}, {"2e-1", 0.2}, {"1e", 1.0}, {"2.5.1", 2.5}, {"64 0", 64.0}, {"", 0.0}, {"-", 0.0},
        {".", 0.0}, {"7.", 7.0}, {"\t9", 9.0}, {" -0.25x", -0.25}, {"1000", 1000.0}, {"x12", 0.0}};
    for (const auto& [text, value] : values) EXPECT_EQ(TextValue(text), value) << text;
    for (const QString text : {"1e400", "-1e400", "  2e999abc"})
        EXPECT_EQ(FailureOf([&] { TextValue(text); }), kOverflow) << text;
    for (const QString text : {"", " ", "-", ".", "abc", "64 0", "640px", "1e", "1e400", "+-3", "1e3.5", "1,5"})
        EXPECT_FALSE(IsNumeric(text)) << text;
    for (const QString text : {" 12.5 ", "+3", "-0.5", "7.", ".5", "1e3", "1E+3", "\t10\t", "1000", "2.5e-3"})
        EXPECT_TRUE(IsNumeric(text)) << text;
}

// Ties go to even; a result that does not fit, or NaN, is Overflow rather than clamped.
TEST(Rounding, TiesGoToEvenAndOutOfRangeIsOverflow) {
    const std::pair<double, std::int32_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {126.5, 126}, {127.5, 128}, {0.49, 0}, {0.51, 1},
        {-2.5, -2}, {3.0, 3}, {-7.6, -8}, {2147483647.4, 2147483647}, {-2147483648.5, INT32_MIN}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundToInt32(value), rounded) << std::to_string(value);
    for (const double value : {2147483647.5, 2147483648.0, -2147483649.0, kNan, kInf, -kInf})
        EXPECT_EQ(FailureOf([&] { RoundToInt32(value); }), kOverflow) << value;
    for (const auto& [value, rounded] : {std::pair(32767.4, 32767), std::pair(-32768.5, -32768), std::pair(2.5, 2),
                                         std::pair(-3.5, -4)})
        EXPECT_EQ(RoundToInt16(value), rounded) << value;
    for (const double value : {32767.5, -32769.0, 40000.0, kNan})
        EXPECT_EQ(FailureOf([&] { RoundToInt16(value); }), kOverflow) << value;
}

// A caption keeps the largest size while it is no wider than its room and at most two pixels taller; a pixel more
// either way takes a smaller size, and where none fits, the smallest.
TEST(FittingFont, TheLargestSizeAtWhichEveryCaptionFitsItsRoom) {
    QFont font = QApplication::font();
    font.setPixelSize(11);
    const QString text = "Fog (diffuse):";
    const int width = QFontMetrics(font).horizontalAdvance(text), height = QFontMetrics(font).height();
    const auto size = [&](int w, int h) { return FittingFont(font, {{"x", 1000, 1000}, {text, w, h}}).pixelSize(); };
    EXPECT_EQ(std::pair(size(width, height - 2), size(1, 1)), std::pair(11, 7));
    EXPECT_LT(std::max(size(width - 1, 1000), size(width, height - 3)), 11);
}

TEST(SettingsStore, ExposureIsOnForAnyNumberButZero) {
    ScriptedSettingsStore store;
    EXPECT_FALSE(AutoAdjustExposureIsOn(store));  // nothing stored
    for (const auto& [text, on] : {std::pair("0", false), {"1", true}, {"2", true}, {" 0 ", false}, {"0.5", true}}) {
        WriteAutoAdjustExposure(store, text);
        EXPECT_EQ(AutoAdjustExposureIsOn(store), on) << text;
    }
    WriteAutoAdjustExposure(store, "abc");
    EXPECT_THROW(AutoAdjustExposureIsOn(store), Failure);
}

// Work shared out over the cores covers every row once, whether or not the rows divide evenly among them.
TEST(LargeBlocks, BandsCoverEveryRowOnceWhateverTheirCount) {
    for (const int rows : {1, 7, 1001, 4099}) {
        std::vector<std::atomic<int>> times(static_cast<std::size_t>(rows));
        large_blocks::InBands(rows, std::size_t(1) << 26, [&](int first, int end) {
            for (int row = first; row < end; ++row) ++times[std::size_t(row)];
        });
        EXPECT_EQ(std::ranges::count_if(times, [](const std::atomic<int>& t) { return t == 1; }), rows) << rows;
    }
}
