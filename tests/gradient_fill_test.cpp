#include "support/TestSupport.h"

namespace {

struct GradientFill : testing::Test {
    Running s;

    // A blank canvas of the drawing's size, with a drawing of one colour as the fill's source.
    void Prepare(QSize size, QColor color) {
        s.Resize(size);
        s.window->SetFillSource(FilledImage(size, color));
    }
    int Red(int x, int y) const { return qRed(s.Shown(x, y)); }
};

}  // namespace

TEST_F(GradientFill, TheHiddenCommandsFillFromTheTopLeftInTheirDirections) {
    // The seed lies outside the picture and reads as black: the ends are 0 and 140, and the
    // far end stops one step short of the other (140 * 4 / 5 = 112 from 0, 28 from 140).
    const struct { const char* command; QPoint first, last; int firstRed, lastRed; } cases[] = {
        {"mnuVerticalFill1", {2, 0}, {2, 4}, 0, 112},   {"mnuVerticalFill2", {2, 0}, {2, 4}, 140, 28},
        {"mnuHorizontalFill1", {0, 2}, {4, 2}, 0, 112}, {"mnuHorizontalFill2", {0, 2}, {4, 2}, 140, 28}};
    for (const auto& c : cases) {
        Prepare({5, 5}, Qt::black);
        s.Run(c.command);
        EXPECT_EQ(std::tuple(s.platform.messages.shown, Red(c.first.x(), c.first.y()), Red(c.last.x(), c.last.y())),
                  std::tuple(Boxes{ErrorBox("Subscript out of range")}, c.firstRed, c.lastRed)) << c.command;
    }
}
