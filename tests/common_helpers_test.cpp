// The small shared rules every part of the program leans on: colour packing, reading
// typed numbers, rounding to whole numbers, the "Error" box and the busy pointer.

#include "common/ColorValue.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Rounding.h"
#include "platform/BusyPointer.h"
#include "platform/ErrorBox.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/TestSupport.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// ColorValue

struct ColorCase {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
    ColorValue packed;
};

TEST(ColorValue, PacksAndUnpacksEachChannel) {
    const std::vector<ColorCase> cases = {
        {0, 0, 0, 0},
        {1, 2, 3, 1 + 512 + 196608},
        {255, 0, 0, 255},
        {0, 255, 0, 65280},
        {0, 0, 255, 16711680},
        {255, 255, 255, 16777215},
        {18, 52, 86, 18 + 52 * 256 + 86 * 65536},
    };
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "rgb " << c.red << "," << c.green << "," << c.blue);
        EXPECT_EQ(PackColor(c.red, c.green, c.blue), c.packed);
        EXPECT_EQ(RedOf(c.packed), c.red);
        EXPECT_EQ(GreenOf(c.packed), c.green);
        EXPECT_EQ(BlueOf(c.packed), c.blue);
    }
}

TEST(ColorValue, QColorRoundTripKeepsChannels) {
    const ColorValue color = PackColor(10, 200, 37);
    const QColor q = ToQColor(color);
    EXPECT_EQ(q.red(), 10);
    EXPECT_EQ(q.green(), 200);
    EXPECT_EQ(q.blue(), 37);
    EXPECT_EQ(FromQColor(q), color);
}

// ---------------------------------------------------------------------------------------
// NumberText

struct ValueCase {
    const char16_t* text;
    double value;
};

TEST(NumberText, TextValueReadsTheLeadingNumber) {
    const std::vector<ValueCase> cases = {
        {u"abc", 0.0},   {u"640px", 640.0}, {u"  12.5", 12.5}, {u"-3", -3.0},    {u"+4", 4.0},
        {u".5", 0.5},    {u"1e3", 1000.0},  {u"1E+3", 1000.0}, {u"2e-1", 0.2},   {u"1e", 1.0},
        {u"2.5.1", 2.5}, {u"64 0", 64.0},   {u"", 0.0},        {u"-", 0.0},      {u".", 0.0},
        {u"7.", 7.0},    {u"\t9", 9.0},     {u" -0.25x", -0.25}, {u"1000", 1000.0}, {u"x12", 0.0},
    };
    for (const ValueCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(("text \"" + text + "\"").toStdString());
        EXPECT_EQ(TextValue(text), c.value);
    }
}

TEST(NumberText, TextValueTooLargeForADoubleIsOverflow) {
    for (const char16_t* text : {u"1e400", u"-1e400", u"  2e999abc"}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        try {
            TextValue(QString::fromUtf16(text));
            ADD_FAILURE() << "no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Number(), FailureNumber::Overflow);
            EXPECT_EQ(failure.Description(), QStringLiteral("Overflow"));
        }
    }
}

struct NumericCase {
    const char16_t* text;
    bool numeric;
};

TEST(NumberText, IsNumericAcceptsOnlyOneWholeNumber) {
    const std::vector<NumericCase> cases = {
        {u"", false},      {u" ", false},       {u"-", false},       {u".", false},
        {u"abc", false},   {u"64 0", false},    {u"640px", false},   {u"1e", false},
        {u"1e400", false}, {u"+-3", false},     {u"1e3.5", false},   {u"1,5", false},
        {u" 12.5 ", true}, {u"+3", true},       {u"-0.5", true},     {u"7.", true},
        {u".5", true},     {u"1e3", true},      {u"1E+3", true},     {u"\t10\t", true},
        {u"1000", true},   {u"2.5e-3", true},
    };
    for (const NumericCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(("text \"" + text + "\"").toStdString());
        EXPECT_EQ(IsNumeric(text), c.numeric);
    }
}

// ---------------------------------------------------------------------------------------
// Rounding

template <typename Call>
void ExpectOverflow(Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), FailureNumber::Overflow);
    }
}

struct RoundCase {
    double value;
    std::int32_t rounded;
};

TEST(Rounding, RoundToInt32TiesGoToEven) {
    const std::vector<RoundCase> cases = {
        {0.5, 0},     {1.5, 2},     {2.5, 2},       {-0.5, 0},     {-1.5, -2},
        {126.5, 126}, {127.5, 128}, {0.49, 0},      {0.51, 1},     {-2.5, -2},
        {3.0, 3},     {-7.6, -8},   {2147483647.4, 2147483647},
        {-2147483648.5, std::numeric_limits<std::int32_t>::min()},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << std::to_string(c.value));
        EXPECT_EQ(RoundToInt32(c.value), c.rounded);
    }
}

TEST(Rounding, RoundToInt32OutOfRangeOrNotANumberIsOverflow) {
    for (const double value : {2147483647.5, 2147483648.0, -2147483649.0, std::nan(""),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(testing::Message() << "value " << value);
        ExpectOverflow([&] { RoundToInt32(value); });
    }
}

TEST(Rounding, RoundToInt16TiesGoToEvenAndLimitsHold) {
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(-3.5), -4);
    for (const double value : {32767.5, -32769.0, 40000.0, std::nan("")}) {
        SCOPED_TRACE(testing::Message() << "value " << value);
        ExpectOverflow([&] { RoundToInt16(value); });
    }
}

// ---------------------------------------------------------------------------------------
// ErrorBox

TEST(ErrorBox, FailureShowsOneErrorBoxAndAbandonsTheRest) {
    ScriptedMessageBoxes messages;
    bool reachedEnd = false;
    const bool completed = RunReportingFailures(messages, [&] {
        throw Failure::SubscriptOutOfRange();
        reachedEnd = true;
    });
    EXPECT_FALSE(completed);
    EXPECT_FALSE(reachedEnd);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (MessageRequest{QStringLiteral("Subscript out of range"), QStringLiteral("Error"),
                                                 MessageIcon::Critical, MessageButtons::Ok}));
}

TEST(ErrorBox, OutOfMemoryIsShownAsItsOwnFailure) {
    ScriptedMessageBoxes messages;
    EXPECT_FALSE(RunReportingFailures(messages, [] { throw std::bad_alloc(); }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], ErrorBox(QStringLiteral("Out of memory")));
}

TEST(ErrorBox, OperationThatSucceedsShowsNothing) {
    ScriptedMessageBoxes messages;
    int runs = 0;
    EXPECT_TRUE(RunReportingFailures(messages, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ErrorBox, BoxWithoutTitleCarriesTheApplicationTitle) {
    ScriptedMessageBoxes messages;
    messages.Show(QStringLiteral("Saved."), MessageButtons::Ok, MessageIcon::Information);
    messages.Show(QStringLiteral("Sure?"), MessageButtons::YesNo, MessageIcon::Question, QStringLiteral("Own"));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0], (MessageRequest{QStringLiteral("Saved."), QStringLiteral("Glimmerage"),
                                                 MessageIcon::Information, MessageButtons::Ok}));
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Own"));
}

// ---------------------------------------------------------------------------------------
// BusyScope

TEST(BusyScope, DefaultPointerReturnsOnNormalExit) {
    ScriptedBusyPointer pointer;
    {
        BusyScope busy(pointer);
        EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy"}));
    }
    EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy", "default"}));
    EXPECT_EQ(pointer.depth, 0);
}

TEST(BusyScope, DefaultPointerReturnsWhenAFailureLeavesTheScope) {
    ScriptedBusyPointer pointer;
    EXPECT_THROW(
        {
            BusyScope busy(pointer);
            throw Failure::Overflow();
        },
        Failure);
    EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy", "default"}));
    EXPECT_EQ(pointer.depth, 0);
}

}  // namespace
