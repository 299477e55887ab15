#include "fill/GradientFill.h"
#include "picture/GMPicture.h"
#include "picture/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A drawing on a white ground with one rectangle of one colour.
QImage Drawing(QSize size, QRect area, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(area, color);
    return image;
}

struct FillFixture : ::testing::Test {
    StartedWindow s;

    void SetUp() override { s.Start(); }
    // Starts a blank canvas of the drawing's size with the drawing as the fill's source.
    void Prepare(const QImage& drawing) {
        s.window->ChangePictureSize(drawing.width(), drawing.height());
        s.window->ClearAll();
        s.window->SetFillSource(drawing);
    }
    std::int32_t Fill(float x, float y, std::int32_t direction) {
        s.window->Fill(x, y, direction);
        return direction;
    }
    QRgb Shown(int x, int y) const { return s.Child<PictureBox>("p")->Image().pixel(x, y) & 0xFFFFFF; }
};

}  // namespace

using GradientFill = FillFixture;

TEST(GradientEnds, Are50DarkerAnd140LighterWithinRange) {
    const GradientEnds a = GradientEndsOf(100, 150, 200);
    EXPECT_EQ(std::vector<int>(a.dark, a.dark + 3), std::vector<int>({50, 100, 150}));
    EXPECT_EQ(std::vector<int>(a.light, a.light + 3), std::vector<int>({240, 255, 255}));
    const GradientEnds b = GradientEndsOf(20, 20, 20);
    EXPECT_EQ(std::vector<int>(b.dark, b.dark + 3), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(std::vector<int>(b.light, b.light + 3), std::vector<int>({160, 160, 160}));
}

TEST_F(GradientFill, RunsFromTheDarkEndAndStopsOneStepShortOfTheLight) {
    // Rows 2..5 of a 6 x 8 canvas hold the area: n = 4, red runs 50, 97.5, 145, 192.5.
    Prepare(Drawing({6, 8}, QRect(1, 2, 4, 4), QColor(100, 150, 200)));
    s.platform.busy.events.clear();
    EXPECT_EQ(Fill(3, 4, 1), 1);
    const int expectedRed[] = {50, 98, 145, 192};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(qRed(Shown(2, 2 + row)), expectedRed[row]) << row;
        EXPECT_EQ(Shown(1, 2 + row), Shown(4, 2 + row));
    }
    EXPECT_EQ(Shown(0, 2), 0u);  // outside the area the picture is untouched
    EXPECT_EQ(Shown(2, 6), 0u);
    EXPECT_EQ(s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
    EXPECT_TRUE(s.platform.messages.shown.empty());

    EXPECT_EQ(Fill(3, 4, 2), 2);  // from the light end instead
    EXPECT_EQ(qRed(Shown(2, 2)), 240);
    EXPECT_EQ(qRed(Shown(2, 5)), 98);  // 240 - 190 * 3 / 4 = 97.5
}

TEST(GradientEnds, AStripOfOneRowOrColumnTakesTheStartValue) {
    ScriptedMessageBoxes messages;
    const GradientEnds ends = GradientEndsOf(100, 150, 200);
    const struct {
        QRect strip;  // in buffer coordinates from 1
        std::int32_t direction;
        std::int32_t red;
    } cases[] = {{{1, 3, 8, 1}, 1, 50}, {{1, 3, 8, 1}, 2, 240}, {{4, 1, 1, 8}, 3, 50}, {{4, 1, 1, 8}, 4, 240}};
    for (const auto& c : cases) {
        GMPicture mask(messages), target(messages);
        mask.CreateNewPicture(8, 8);
        target.CreateNewPicture(8, 8);
        for (int x = c.strip.left(); x <= c.strip.right(); ++x)
            for (int y = c.strip.top(); y <= c.strip.bottom(); ++y) mask.SetPixel(float(x), float(y), 1, 0, 1);
        const std::optional<QRect> area = FindMarkedArea(mask);
        ASSERT_EQ(area, c.strip);
        PaintGradient(mask, target, *area, ends, c.direction);
        for (int x = c.strip.left(); x <= c.strip.right(); ++x) {
            for (int y = c.strip.top(); y <= c.strip.bottom(); ++y) {
                std::int32_t r = 0, g = 0, b = 0;
                target.GetPixel(float(x), float(y), r, g, b);
                EXPECT_EQ(r, c.red) << c.direction;
            }
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GradientFill, DirectionZeroChoosesFromTheAreasShape) {
    Prepare(Drawing({10, 10}, QRect(2, 2, 4, 4), QColor(100, 150, 200)));
    EXPECT_EQ(Fill(4, 4, 0), 1);  // square: top to bottom
    Prepare(Drawing({10, 10}, QRect(2, 1, 3, 8), QColor(100, 150, 200)));
    EXPECT_EQ(Fill(4, 4, 0), 3);  // taller than wide: left to right
    EXPECT_EQ(qRed(Shown(2, 1)), qRed(Shown(2, 8)));
    EXPECT_LT(qRed(Shown(2, 5)), qRed(Shown(4, 5)));
}

TEST_F(GradientFill, OtherCodesWriteTheMarkerColour) {
    Prepare(Drawing({6, 6}, QRect(1, 1, 4, 4), QColor(100, 150, 200)));
    EXPECT_EQ(Fill(3, 3, 5), 5);
    EXPECT_EQ(Shown(2, 2), qRgb(1, 0, 1) & 0xFFFFFF);
}

TEST_F(GradientFill, NothingHappensWhenTheSeedIsNotTheStartsColour) {
    // The seed comes from the pixel up and to the left of the start: here the white ground.
    Prepare(Drawing({6, 6}, QRect(2, 2, 3, 3), QColor(100, 150, 200)));
    EXPECT_EQ(Fill(2, 2, 0), 0);
    EXPECT_EQ(Shown(2, 2), 0u);
    EXPECT_TRUE(s.platform.messages.shown.empty());
}

TEST_F(GradientFill, MarkerPixelsAnywhereWidenTheArea) {
    QImage drawing = Drawing({6, 12}, QRect(1, 1, 4, 4), QColor(100, 150, 200));
    drawing.setPixel(5, 11, qRgb(1, 0, 1));
    Prepare(drawing);
    Fill(3, 3, 1);
    // The box now spans rows 2 to 12 of the buffer: n = 11, the second row gets 50 + 190 / 11.
    EXPECT_EQ(qRed(Shown(2, 2)), 67);
}

TEST_F(GradientFill, TheHiddenCommandsFillFromTheTopLeftInTheirDirections) {
    const QImage black = Drawing({5, 5}, QRect(0, 0, 5, 5), Qt::black);
    // The seed lies outside the picture and reads as black: the ends are 0 and 140, and the
    // far end stops one step short of the other (140 * 4 / 5 = 112 from 0, 28 from 140).
    const struct {
        const char* command;
        QPoint first, last;
        int firstRed, lastRed;
    } cases[] = {{"mnuVerticalFill1", {2, 0}, {2, 4}, 0, 112},
                 {"mnuVerticalFill2", {2, 0}, {2, 4}, 140, 28},
                 {"mnuHorizontalFill1", {0, 2}, {4, 2}, 0, 112},
                 {"mnuHorizontalFill2", {0, 2}, {4, 2}, 140, 28}};
    for (const auto& c : cases) {
        Prepare(black);
        s.platform.messages.shown.clear();
        s.Child<QAction>(c.command)->trigger();
        EXPECT_EQ(s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Subscript out of range")});
        EXPECT_EQ(qRed(Shown(c.first.x(), c.first.y())), c.firstRed) << c.command;
        EXPECT_EQ(qRed(Shown(c.last.x(), c.last.y())), c.lastRed) << c.command;
    }
}
