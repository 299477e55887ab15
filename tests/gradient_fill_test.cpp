#include "core/fill/GradientFill.h"
#include "core/picture/PixelBuffer.h"
#include "support/TestSupport.h"

namespace {

struct GradientFill : testing::Test {
    Running s;

    // A blank canvas of the drawing's size, with the drawing (one rectangle of one colour on a white ground, and
    // any extra pixels) as the fill's source.
    void Prepare(QSize size, QRect area, QColor color = QColor(100, 150, 200), std::vector<QPoint> markers = {}) {
        QImage drawing = FilledImage(size, Qt::white);
        QPainter(&drawing).fillRect(area, color);
        for (const QPoint at : markers) drawing.setPixel(at, qRgb(1, 0, 1));
        s.Resize(size);
        s.window->SetFillSource(drawing);
    }
    std::int32_t Fill(float x, float y, std::int32_t direction) {
        s.window->Fill(x, y, direction);
        return direction;
    }
    int Red(int x, int y) const { return qRed(s.Shown(x, y)); }
};

}  // namespace

TEST(GradientEnds, Are50DarkerAnd140LighterWithinRangeAndAStripTakesTheStartValue) {
    const auto ends = [](std::int32_t v) {
        const GradientEnds e = GradientEndsOf(v, v + 50, v + 100);
        return std::vector<int>({e.dark[0], e.dark[1], e.dark[2], e.light[0], e.light[1], e.light[2]});
    };
    EXPECT_EQ(ends(100), std::vector<int>({50, 100, 150, 240, 255, 255}));
    EXPECT_EQ(ends(20), std::vector<int>({0, 20, 70, 160, 210, 255}));
    // A strip of one row or column, in buffer coordinates from 1, is all start value.
    for (const auto& [strip, direction, red] : {std::tuple(QRect(1, 3, 8, 1), 1, 50), {QRect(1, 3, 8, 1), 2, 240},
                                                {QRect(4, 1, 1, 8), 3, 50}, {QRect(4, 1, 1, 8), 4, 240}}) {
        PixelBuffer mask, target;
        mask.CreateNewPicture(8, 8);
        target.CreateNewPicture(8, 8);
        const QRect area = strip;  // Clang 14 lets no lambda capture a structured binding
        const auto at = [&](int i) { return QPointF(area.x() + i % area.width(), area.y() + i % area.height()); };
        for (int i = 0; i < 8; ++i) mask.SetPixel(float(at(i).x()), float(at(i).y()), 1, 0, 1);
        ASSERT_EQ(FindMarkedArea(MaskOf(mask)), strip);
        PaintGradient(MaskOf(mask), target, strip, GradientEndsOf(100, 150, 200), direction);
        for (int i = 0; i < 8; ++i) {
            std::int32_t r = 0, g = 0, b = 0;
            target.GetPixel(float(at(i).x()), float(at(i).y()), r, g, b);
            EXPECT_EQ(r, red) << direction;
        }
    }
}

TEST_F(GradientFill, RunsFromTheDarkEndAndStopsOneStepShortOfTheLight) {
    // Rows 2..5 of a 6 x 8 canvas hold the area: n = 4, red runs 50, 97.5, 145, 192.5.
    Prepare({6, 8}, QRect(1, 2, 4, 4));
    s.platform.busy.events.clear();
    EXPECT_EQ(Fill(3, 4, 1), 1);
    const int expectedRed[] = {50, 98, 145, 192};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(std::pair(Red(2, 2 + row), s.Shown(1, 2 + row)), std::pair(expectedRed[row], s.Shown(4, 2 + row)))
            << row;
    // Outside the area the picture is untouched.
    EXPECT_EQ(std::tuple(s.Shown(0, 2), s.Shown(2, 6), s.platform.busy.events, s.platform.messages.shown),
              std::tuple(0u, 0u, kBusyOnce, Boxes{}));
    EXPECT_EQ(Fill(3, 4, 2), 2);  // from the light end instead: 240 - 190 * 3 / 4 = 97.5 at the bottom
    EXPECT_EQ(std::pair(Red(2, 2), Red(2, 5)), std::pair(240, 98));
}

TEST_F(GradientFill, TheAreasShapeTheCodeTheSeedAndMarkerPixelsDecideTheFill) {
    Prepare({10, 10}, QRect(2, 2, 4, 4));
    EXPECT_EQ(Fill(4, 4, 0), 1);  // square: top to bottom
    Prepare({10, 10}, QRect(2, 1, 3, 8));
    EXPECT_EQ(Fill(4, 4, 0), 3);  // taller than wide: left to right
    EXPECT_EQ(Red(2, 1), Red(2, 8));
    EXPECT_LT(Red(2, 5), Red(4, 5));
    Prepare({6, 6}, QRect(1, 1, 4, 4));
    EXPECT_EQ(Fill(3, 3, 5), 5);
    EXPECT_EQ(s.Shown(2, 2), qRgb(1, 0, 1) & 0xFFFFFF);  // other codes write the marker colour
    // The seed comes from the pixel up and to the left of the start: here the white ground, so nothing happens.
    Prepare({6, 6}, QRect(2, 2, 3, 3));
    EXPECT_EQ(Fill(2, 2, 0), 0);
    EXPECT_EQ(std::pair(s.Shown(2, 2), s.platform.messages.shown), std::pair(0u, Boxes{}));
    // A marker pixel anywhere widens the area to rows 2 to 12 of the buffer: n = 11, its second row gets 50 + 190 / 11.
    Prepare({6, 12}, QRect(1, 1, 4, 4), QColor(100, 150, 200), {{5, 11}});
    Fill(3, 3, 1);
    EXPECT_EQ(Red(2, 2), 67);
}

TEST_F(GradientFill, TheHiddenCommandsFillFromTheTopLeftInTheirDirections) {
    // The seed lies outside the picture and reads as black: the ends are 0 and 140, and the
    // far end stops one step short of the other (140 * 4 / 5 = 112 from 0, 28 from 140).
    const struct { const char* command; QPoint first, last; int firstRed, lastRed; } cases[] = {
        {"mnuVerticalFill1", {2, 0}, {2, 4}, 0, 112},   {"mnuVerticalFill2", {2, 0}, {2, 4}, 140, 28},
        {"mnuHorizontalFill1", {0, 2}, {4, 2}, 0, 112}, {"mnuHorizontalFill2", {0, 2}, {4, 2}, 140, 28}};
    for (const auto& c : cases) {
        Prepare({5, 5}, QRect(0, 0, 5, 5), Qt::black);
        s.Run(c.command);
        EXPECT_EQ(std::tuple(s.platform.messages.shown, Red(c.first.x(), c.first.y()), Red(c.last.x(), c.last.y())),
                  std::tuple(Boxes{ErrorBox("Subscript out of range")}, c.firstRed, c.lastRed)) << c.command;
    }
}
