#include "core/lights/LightEngine.h"
#include "core/lights/RowKernels.h"
#include "core/picture/PixelBuffer.h"
#include "support/LightReference.h"
#include "support/TestSupport.h"

#include <cmath>
#include <random>

namespace {

struct Scene : Running {
    ReferenceDrawing reference;

    Scene(int width, int height) : reference(width, height) { Resize({width, height}); }
    QLineEdit* Intensity() const { return Child<QLineEdit>("txtIntensity"); }
    QLineEdit* Fog() const { return Child<QLineEdit>("txtFog"); }
    void SetFields(const QString& intensity, const QString& fog) {
        Intensity()->setText(intensity);
        Fog()->setText(fog);
    }

    // A click through the mouse lands on the picture pixel under the pointer; one straight from the canvas's
    // MouseDown signal keeps its fraction, which the lights' arithmetic must handle as well.
    void Click(QPointF at, ColorValue color, bool autoExposure, Qt::MouseButton button = Qt::LeftButton,
               bool throughMouse = true) {
        Child<PictureBox>("LightColor1")->SetBackColor(color);
        if (throughMouse) ClickWith(Canvas(), at, button);
        else emit Canvas()->MouseDown(button == Qt::LeftButton ? 1 : 4, 0, float(at.x()), float(at.y()));
        if (throughMouse) at = QPointF(std::floor(at.x()), std::floor(at.y()));
        reference.Click(float(at.x()), float(at.y()), RedOf(color), GreenOf(color), BlueOf(color), Intensity()->text(),
                        Fog()->text(), autoExposure);
    }

    // The light buffer, the displayed picture and the canvas agree with the reference, bit for bit.
    void ExpectSameAsReference(const char* when) {
        SCOPED_TRACE(when);
        const QImage expected(reference.pixels.data(), reference.width, reference.height, QImage::Format_RGB32);
        ASSERT_EQ(std::tuple(Doc().LightsCount, reference.Mismatches(Doc().LightBuffer()),
                             std::ranges::equal(Doc().GMPic1.Bytes(), reference.pixels), Canvas()->Image() == expected),
                  std::tuple(reference.lightsCount, "", true, true));  // RGB32 images compare without the fourth byte
    }
};

// Scenes span one and two threads, rows with vector tails, and lights on whole, half and quarter columns
// and off the picture.
void ExpectRandomScenesToAgreeWithTheReference() {
    std::mt19937 random(20261205);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // 1500 x 1000 is big enough for its rows to be built aside and streamed to the buffers.
    const QSize fixedSizes[] = {{1, 1}, {645, 31}, {700, 500}, {13, 1}, {1, 9}, {37, 480}, {1500, 1000}};
    const QString texts[] = {"10", "0", "1000", "12.75", "0.5", "999.99", "3e2", " 42 ", "1", "7."};
    for (int scene = 0; scene < 24; ++scene) {
        const QSize size = scene < 7 ? fixedSizes[scene] : QSize(pick(1, 260), pick(1, 200));
        SCOPED_TRACE(testing::Message() << "scene " << scene << ", " << size.width() << " x " << size.height());
        Scene t(size.width(), size.height());
        const auto randomPoint = [&](bool wholePixel) {
            switch (wholePixel ? 0 : pick(0, 2)) {
                case 0: return QPointF(pick(0, size.width() - 1), pick(0, size.height() - 1));
                case 1: return QPointF(pick(0, size.width() * 4) / 4.0, pick(0, size.height() * 8) / 8.0);
                default: return QPointF(pick(-40, size.width() + 40) + 0.5, pick(-40, size.height() + 40) - 0.25);
            }
        };
        for (int step = 0; step < 7; ++step) {
            const bool autoExposure = pick(0, 1) == 1;
            SetAutoExposure(t.platform, autoExposure ? "1" : "0");
            t.SetFields(texts[pick(0, 9)], texts[pick(0, 9)]);
            // Half the scenes start with a click on a whole pixel and a render, which rebuilds from that one
            // light in pairs of rows.
            const bool opening = scene % 2 == 0 && step < 2;
            const int action = opening ? step * 8 : pick(0, 10);
            if (action < 7) {
                t.Click(randomPoint(opening), PackColor(pick(0, 255), pick(0, 255), pick(0, 255)), autoExposure,
                        action == 6 ? Qt::MiddleButton : Qt::LeftButton, pick(0, 1) == 1);
            } else if (action == 7 && t.Action("mnuUndo")->isEnabled()) {
                t.Action("mnuUndo")->trigger();
                t.reference.Undo(autoExposure);
            } else if (action == 10) {
                // No paint comes between a clear and what follows it here.
                t.Action("mnuClear")->trigger();
                t.reference = ReferenceDrawing(size.width(), size.height());
            } else {
                t.Action("mnuRender")->trigger();
                t.reference.Render(false, t.Intensity()->text(), t.Fog()->text(), autoExposure);
            }
            t.ExpectSameAsReference(action < 7 ? "click" : action == 7 ? "undo" : action == 10 ? "clear" : "render");
            if (testing::Test::HasFatalFailure()) return;
        }
    }
}

}  // namespace

TEST(LightRendering, AgreesWithTheLiteralReferenceOnRandomScenesWithEveryKernelSet) {
    for (const RowKernels* kernels : AvailableRowKernels()) {
        SCOPED_TRACE(kernels->name);
        UseRowKernels(*kernels);
        ExpectRandomScenesToAgreeWithTheReference();
        if (HasFatalFailure()) break;
    }
    UseRowKernels(*AvailableRowKernels().back());
}

// A render gives each light a tenth of its colour where it stands, so it takes more than ten white lights on one
// spot to pass white together: then automatic exposure scales the picture to their sum.
TEST(LightRendering, ARenderOfLightsBrighterTogetherThanWhiteIsScaledToTheirSum) {
    Scene t(60, 40);
    SetAutoExposure(t.platform, "1");
    for (int k = 0; k < 12; ++k) t.Click(QPointF(30, 20), PackColor(255, 255, 255), true);
    t.Action("mnuRender")->trigger();
    t.reference.Render(false, t.Intensity()->text(), t.Fog()->text(), true);
    t.ExpectSameAsReference("render");
    EXPECT_EQ(t.Doc().LightBuffer().At(30, 20, 1), 306.0f);
}

// Loading gives each pixel's red, green and blue as they are, on every kernel set and wherever a row's vectors
// end; the fourth byte counts neither among them nor for the greatest value.
TEST(LightEngine, LoadingSplitsEveryPixelIntoItsChannelsWithEveryKernelSet) {
    std::mt19937 random(11);
    for (const RowKernels* kernels : AvailableRowKernels()) {
        UseRowKernels(*kernels);
        for (const int width : {1, 15, 16, 17, 67}) {
            SCOPED_TRACE(testing::Message() << kernels->name << ", " << width << " wide");
            std::vector<std::uint8_t> bytes(std::size_t(width) * 3 * 4);
            for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i % 4 == 3 ? 255 : random() % 200);
            LightEngine engine;
            engine.Reset(width, 3);
            engine.LoadPicture(bytes);
            int wrong = 0;
            std::uint8_t greatest = 0;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    for (int c = 0; c < 3; ++c) {  // red, green, blue; the bytes run blue, green, red
                        const std::uint8_t byte = bytes[std::size_t(y * width + x) * 4 + std::size_t(2 - c)];
                        wrong += engine.Light(x, y, c) != float(byte);
                        greatest = std::max(greatest, byte);
                    }
            EXPECT_EQ(std::pair(wrong, engine.FindMaximum()), std::pair(0, float(greatest)));
        }
    }
    UseRowKernels(*AvailableRowKernels().back());
}

// A sum beyond the float range in any one channel, in the vector part of a row or its tail, fails the pass
// with "Overflow" and leaves the light buffer as it was when the undo copy is taken. Only the pixel under
// the light overflows. The intensity field keeps clicks far from that range, so this drives the engine.
TEST(LightEngine, ALightTooStrongForAnyOneChannelFailsWithOverflow) {
    PixelBuffer picture, drawn;
    picture.SetPicture(DistinctPicture(300, 8));
    drawn.CreateNewPicture(300, 8);
    for (int run = 0; run < 12; ++run) {
        const int channel = run % 3;
        const float x = run % 2 ? 10.0f : 290.0f;
        const Exposure exposure = run < 6 ? Exposure::Clipped : Exposure::Automatic;
        SCOPED_TRACE(testing::Message() << "channel " << channel << " at " << x << " exposure " << int(exposure));
        LightEngine engine;
        engine.Reset(300, 8);
        engine.LoadPicture(picture.Bytes());
        const std::vector<float> before = Values({engine, false});
        const NewLight light{{x, 4.0f, channel == 0 ? 255 : 0, channel == 1 ? 255 : 0, channel == 2 ? 255 : 0},
                             1.4e37f, 1};
        EXPECT_EQ(FailureOf([&] { engine.AddLight(light, true, exposure, {drawn.Bytes()}); }).first,
                  FailureNumber::Overflow);
        EXPECT_EQ(Values({engine, false}), before);
        engine.RestoreUndoCopy();  // the undo copy is the buffer as it was
        EXPECT_EQ(Values({engine, false}), before);
    }
}
