// The progress strip as a render prints it: every print is recorded from the canvas itself,
// with a clock the test moves on by hand.

#include "windows/editor/CanvasRender.h"
#include "support/TestSupport.h"

#include <random>

namespace {

using namespace std::chrono_literals;

// One print of the strip as the canvas showed it.
struct Print {
    int width;         // grey columns from the left of the top row
    int rowsFinished;  // rows of the picture already drawn as they end up, counted on one thread only
    bool restAsBefore;  // the strip's black beyond its grey, and the earlier drawing below it
};

// A drawing with one light (rendered as a click) or more (a full render) on a canvas that shows a picture of its own
// when a render starts and records each print of the strip, the only print that asks for a refresh.
struct StripScene : ImageSurface {
    ScriptedMessageBoxes messages;
    DrawingDocument doc;
    std::vector<LightPoint> lights;
    QImage before;                    // what the canvas shows when the render begins
    std::vector<std::uint8_t> drawn;  // the picture's bytes after the render
    std::chrono::steady_clock::time_point now;
    std::vector<Print> prints;
    bool countRows = false;

    StripScene(int width, int height, int lightCount) : before(DistinctPicture(width, height)) {
        ResizeImage(before.size());
        doc.PictureWidth = width;
        doc.PictureHeight = height;
        doc.GMPic1.CreateNewPicture(float(width), float(height));
        doc.GMPicProgress.CreateNewPicture(float(width), 10.0f);
        std::mt19937 random(5);
        for (int k = 0; k < lightCount; ++k)
            lights.push_back({float(random() % unsigned(width)), float(random() % unsigned(height)),
                              int(random() % 256), int(random() % 256), int(random() % 256)});
        Pass({doc.GMPic1.Bytes()});
        drawn.assign(doc.GMPic1.Bytes().begin(), doc.GMPic1.Bytes().end());
    }
    void Pass(const PictureRows& picture, const LightEngine::Progress& progress = {}) {
        LightEngine& engine = doc.lightEngine;
        engine.Reset(doc.PictureWidth, doc.PictureHeight);
        if (lights.size() == 1) engine.AddLight({lights[0], 10.0f, 1.0f}, true, Exposure::Clipped, picture, progress);
        else engine.Rebuild(lights, Exposure::Clipped, picture, progress);
    }
    void Refresh() override {
        const QImage& shown = Image();
        const QRgb grey = qRgb(70, 70, 70), black = qRgb(0, 0, 0);
        int width = 0, rows = 0;
        while (width < shown.width() && shown.pixel(width, 0) == grey) ++width;
        bool rest = true;
        for (int y = 0; y < shown.height() && rest; ++y)
            for (int x = 0; x < shown.width() && rest; ++x)
                rest = shown.pixel(x, y) == (y >= 10 ? before.pixel(x, y) : x < width ? grey : black);
        const std::size_t row = std::size_t(before.width()) * 4;  // the fourth bytes are the picture's own
        for (std::size_t start = 0; start < drawn.size() && countRows; start += row)
            rows += std::memcmp(&drawn[start], &doc.GMPic1.Bytes()[start], row) == 0;
        prints.push_back({width, countRows ? rows : -1, rest});
    }
    // Renders with the strip, every row of the picture first unlike how it ends up.
    std::vector<Print> Render(std::chrono::milliseconds step, int threads) {
        prints.clear();
        countRows = threads == 1;
        for (std::size_t i = 0; i < drawn.size(); ++i) doc.GMPic1.Bytes()[i] = uchar(i % 4 == 3 ? drawn[i] : ~drawn[i]);
        WriteBitmapBits(before.width(), before.height(), before.constBits(), before.sizeInBytes());
        doc.lightEngine.SetThreadLimit(threads);
        RenderOntoCanvas(
            doc, *this, messages, [&](const PictureRows& picture, const auto& progress) { Pass(picture, progress); },
            [&] { return now += step; });
        doc.lightEngine.SetThreadLimit(0);
        return prints;
    }
};

// Widths grow by whole tens, the earlier drawing stays below the strip, and the last print shows every
// whole ten columns of the picture.
void ExpectAStripThatGrows(const StripScene& scene, const std::vector<Print>& prints) {
    ASSERT_FALSE(prints.empty());
    for (std::size_t i = 0; i < prints.size(); ++i) {
        EXPECT_EQ(std::pair(prints[i].width % 10, prints[i].restAsBefore), std::pair(0, true)) << i;
        EXPECT_GT(prints[i].width, i > 0 ? prints[i - 1].width : 0) << i;
    }
    const int width = scene.doc.PictureWidth, whole = width / 10 * 10;
    EXPECT_EQ(prints.back().width, whole);
    std::vector<std::uint8_t> strip;  // grey over every whole ten columns, as a render leaves it
    for (int i = 0; i < 10 * width; ++i) strip.insert(strip.end(), 3, i % width < whole ? 70 : 0), strip.push_back(0);
    EXPECT_TRUE(std::ranges::equal(scene.doc.GMPicProgress.Bytes(), strip));
}

}  // namespace

// On one thread the rows drawn can be counted at every print: the strip then shows exactly the whole tens of columns
// that the finished share of the rows stands for, never more and never less. On any number it grows.
TEST(ProgressStrip, GrowsWithTheFinishedRowsOfAFullRenderAndOfAClickOnAnyThreadCount) {
    for (const auto& [size, lightCount, threads, leastPrints] :
         {std::tuple(QSize(1920, 1080), 100, 1, 20u), {QSize(1920, 1080), 1, 1, 20u}, {QSize(645, 300), 3, 1, 2u},
          {QSize(1920, 1080), 100, 0, 0u}, {QSize(645, 300), 3, 0, 0u}}) {
        SCOPED_TRACE(testing::Message() << size.width() << " wide, " << lightCount << " lights, threads " << threads);
        StripScene scene(size.width(), size.height(), lightCount);
        const std::vector<Print> prints = scene.Render(16ms, threads);
        ExpectAStripThatGrows(scene, prints);
        EXPECT_EQ(scene.Image(), QImage(scene.drawn.data(), size.width(), size.height(), QImage::Format_RGB32));
        if (threads != 1) continue;
        EXPECT_EQ(std::pair(prints.size() >= leastPrints, prints.back().rowsFinished), std::pair(true, size.height()));
        for (const Print& p : prints)
            EXPECT_EQ(p.width, size.width() * p.rowsFinished / size.height() / 10 * 10) << p.rowsFinished;
    }
}

