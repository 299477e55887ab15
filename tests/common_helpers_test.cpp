#include "common/ColorValue.h"
#include "common/NumberText.h"
#include "common/Rounding.h"
#include "platform/BusyPointer.h"
#include "platform/ErrorBox.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Text(const char16_t* text) { return "\"" + QString::fromUtf16(text).toStdString() + "\""; }

template <typename Call, typename Trace>
void ExpectOverflow(Call&& call, const Trace& trace) {
    SCOPED_TRACE(trace);
    try {
        call();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), FailureNumber::Overflow);
        EXPECT_EQ(failure.Description(), QStringLiteral("Overflow"));
    }
}

TEST(ColorValue, PacksUnpacksAndRoundTripsThroughQColor) {
    const struct { std::int32_t red, green, blue; ColorValue packed; } cases[] = {
        {0, 0, 0, 0},          {1, 2, 3, 1 + 512 + 196608}, {255, 0, 0, 255},
        {0, 255, 0, 65280},    {0, 0, 255, 16711680},       {255, 255, 255, 16777215},
        {18, 52, 86, 18 + 52 * 256 + 86 * 65536},           {10, 200, 37, 10 + 200 * 256 + 37 * 65536},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "rgb " << c.red << "," << c.green << "," << c.blue);
        EXPECT_EQ(PackColor(c.red, c.green, c.blue), c.packed);
        EXPECT_EQ(std::tuple(RedOf(c.packed), GreenOf(c.packed), BlueOf(c.packed)), std::tuple(c.red, c.green, c.blue));
        EXPECT_EQ(ToQColor(c.packed), QColor(c.red, c.green, c.blue));
        EXPECT_EQ(FromQColor(QColor(c.red, c.green, c.blue)), c.packed);
    }
}

TEST(NumberText, TextValueReadsTheLeadingNumberAndIsNumericTheWholeText) {
    const struct { const char16_t* text; double value; } cases[] = {
        {u"abc", 0.0},   {u"640px", 640.0}, {u"  12.5", 12.5},   {u"-3", -3.0},     {u"+4", 4.0},
        {u".5", 0.5},    {u"1e3", 1000.0},  {u"1E+3", 1000.0},   {u"2e-1", 0.2},    {u"1e", 1.0},
        {u"2.5.1", 2.5}, {u"64 0", 64.0},   {u"", 0.0},          {u"-", 0.0},       {u".", 0.0},
        {u"7.", 7.0},    {u"\t9", 9.0},     {u" -0.25x", -0.25}, {u"1000", 1000.0}, {u"x12", 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(TextValue(QString::fromUtf16(c.text)), c.value) << Text(c.text);
    for (const char16_t* text : {u"1e400", u"-1e400", u"  2e999abc"})
        ExpectOverflow([&] { TextValue(QString::fromUtf16(text)); }, Text(text));

    for (const char16_t* text : {u"", u" ", u"-", u".", u"abc", u"64 0", u"640px", u"1e", u"1e400", u"+-3", u"1e3.5",
                                 u"1,5"})
        EXPECT_FALSE(IsNumeric(QString::fromUtf16(text))) << Text(text);
    for (const char16_t* text :
         {u" 12.5 ", u"+3", u"-0.5", u"7.", u".5", u"1e3", u"1E+3", u"\t10\t", u"1000", u"2.5e-3"})
        EXPECT_TRUE(IsNumeric(QString::fromUtf16(text))) << Text(text);
}

// Ties go to even; a result that does not fit, or NaN, is Overflow rather than clamped.
TEST(Rounding, TiesGoToEvenAndOutOfRangeIsOverflow) {
    const struct { double value; std::int32_t rounded; } cases[] = {
        {0.5, 0},  {1.5, 2},   {2.5, 2},  {-0.5, 0},  {-1.5, -2}, {126.5, 126}, {127.5, 128}, {0.49, 0},
        {0.51, 1}, {-2.5, -2}, {3.0, 3},  {-7.6, -8}, {2147483647.4, 2147483647}, {-2147483648.5, INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundToInt32(c.value), c.rounded) << std::to_string(c.value);
    for (const double value : {2147483647.5, 2147483648.0, -2147483649.0, kNan, kInf, -kInf})
        ExpectOverflow([&] { RoundToInt32(value); }, testing::Message() << "int32 " << value);
    for (const auto& [value, rounded] :
         {std::pair(32767.4, 32767), std::pair(-32768.5, -32768), std::pair(2.5, 2), std::pair(-3.5, -4)})
        EXPECT_EQ(RoundToInt16(value), rounded) << value;
    for (const double value : {32767.5, -32769.0, 40000.0, kNan})
        ExpectOverflow([&] { RoundToInt16(value); }, testing::Message() << "int16 " << value);
}

TEST(ErrorBox, EachFailureShowsOneErrorBoxAndAbandonsTheRest) {
    ScriptedMessageBoxes messages;
    int runs = 0;
    EXPECT_TRUE(RunReportingFailures(messages, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(messages.shown.empty());
    bool reachedEnd = false;
    EXPECT_FALSE(RunReportingFailures(messages, [&] { throw Failure::SubscriptOutOfRange(); reachedEnd = true; }));
    EXPECT_FALSE(reachedEnd);
    EXPECT_FALSE(RunReportingFailures(messages, [] { throw std::bad_alloc(); }));
    const MessageRequest range{QStringLiteral("Subscript out of range"), QStringLiteral("Error"), MessageIcon::Critical,
                               MessageButtons::Ok};
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{range, ErrorBox(QStringLiteral("Out of memory"))}));

    // A box without a title of its own carries the application's.
    messages.Show(QStringLiteral("Saved."), MessageButtons::Ok, MessageIcon::Information);
    messages.Show(QStringLiteral("Sure?"), MessageButtons::YesNo, MessageIcon::Question, QStringLiteral("Own"));
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[2], (MessageRequest{QStringLiteral("Saved."), QStringLiteral("Glimmerage"),
                                                 MessageIcon::Information, MessageButtons::Ok}));
    EXPECT_EQ(messages.shown[3].title, QStringLiteral("Own"));
}

TEST(BusyScope, DefaultPointerReturnsOnNormalExitAndOnFailure) {
    ScriptedBusyPointer pointer;
    {
        BusyScope busy(pointer);
        EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy"}));
    }
    EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy", "default"}));
    EXPECT_EQ(pointer.depth, 0);
    EXPECT_THROW([&] { BusyScope busy(pointer); throw Failure::Overflow(); }(), Failure);
    EXPECT_EQ(pointer.events, (std::vector<std::string>{"busy", "default", "busy", "default"}));
    EXPECT_EQ(pointer.depth, 0);
}

}  // namespace
