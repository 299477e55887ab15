#include "picture/PictureBox.h"
#include "support/LightReference.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <bit>
#include <random>

namespace {

struct Scene {
    StartedWindow s;
    PictureBox* canvas;
    ReferenceDrawing reference;

    Scene(int width, int height) : canvas(nullptr), reference(width, height) {
        s.Start();
        s.window->ChangePictureSize(width, height);
        s.window->ClearAll();
        canvas = s.Child<PictureBox>("p");
    }

    void SetFields(const QString& intensity, const QString& fog) {
        s.Child<QLineEdit>("txtIntensity")->setText(intensity);
        s.Child<QLineEdit>("txtFog")->setText(fog);
    }
    QString Intensity() const { return s.Child<QLineEdit>("txtIntensity")->text(); }
    QString Fog() const { return s.Child<QLineEdit>("txtFog")->text(); }

    void Click(QPointF at, ColorValue color, bool autoExposure, Qt::MouseButton button = Qt::LeftButton) {
        s.Child<PictureBox>("LightColor1")->SetBackColor(color);
        ClickWith(canvas, at, button);
        reference.Click(float(at.x()), float(at.y()), RedOf(color), GreenOf(color), BlueOf(color), Intensity(),
                        Fog(), autoExposure);
    }

    // Every value of the light buffer, the displayed picture and the canvas agree with
    // the reference, bit for bit.
    void ExpectSameAsReference(const char* when) {
        SCOPED_TRACE(when);
        const DrawingDocument& doc = s.window->Document();
        ASSERT_EQ(doc.LightsCount, reference.lightsCount);
        int mismatches = 0;
        for (int c = 1; c <= 3; ++c)
            for (int y = 1; y <= reference.height; ++y)
                for (int x = 1; x <= reference.width; ++x)
                    if (std::bit_cast<std::uint32_t>(doc.LightBuffer.At(x, y, c)) !=
                        std::bit_cast<std::uint32_t>(reference.At(x, y, c))) {
                        if (mismatches++ == 0)
                            ADD_FAILURE() << "light (" << x << ", " << y << ", " << c << ") is "
                                          << doc.LightBuffer.At(x, y, c) << ", expected " << reference.At(x, y, c);
                    }
        EXPECT_EQ(mismatches, 0);
        const auto bytes = doc.GMPic1.Bytes();
        ASSERT_TRUE(std::equal(bytes.begin(), bytes.end(), reference.pixels.begin(), reference.pixels.end()));
        const QImage& shown = canvas->Image();
        for (int y = 0; y < reference.height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
            for (int x = 0; x < reference.width; ++x) {
                const std::uint8_t* px = &reference.pixels[(std::size_t(y) * reference.width + x) * 4];
                ASSERT_EQ(row[x] & 0xFFFFFF, qRgb(px[2], px[1], px[0]) & 0xFFFFFF) << x << ", " << y;
            }
        }
    }
};

}  // namespace

TEST(LightRendering, AgreesWithTheLiteralReferenceOnRandomScenes) {
    std::mt19937 random(20261205);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QSize fixedSizes[] = {{1, 1}, {645, 31}, {700, 500}, {13, 1}, {1, 9}, {37, 480}};
    const QString texts[] = {"10", "0", "1000", "12.75", "0.5", "999.99", "3e2", " 42 ", "1", "7."};

    for (int scene = 0; scene < 24; ++scene) {
        const QSize size = scene < 6 ? fixedSizes[scene] : QSize(pick(1, 260), pick(1, 200));
        SCOPED_TRACE(QString("scene %1, %2 x %3").arg(scene).arg(size.width()).arg(size.height()).toStdString());
        Scene t(size.width(), size.height());
        const auto randomPoint = [&] {
            switch (pick(0, 2)) {
                case 0: return QPointF(pick(0, size.width() - 1), pick(0, size.height() - 1));
                case 1: return QPointF(pick(0, size.width() * 4) / 4.0, pick(0, size.height() * 8) / 8.0);
                default: return QPointF(pick(-40, size.width() + 40) + 0.5, pick(-40, size.height() + 40) - 0.25);
            }
        };
        for (int step = 0; step < 7; ++step) {
            const bool autoExposure = pick(0, 1) == 1;
            SetAutoExposure(t.s.platform, autoExposure ? "1" : "0");
            t.SetFields(texts[pick(0, 9)], texts[pick(0, 9)]);
            const int action = pick(0, 9);
            if (action < 7) {
                const Qt::MouseButton button = action == 6 ? Qt::MiddleButton : Qt::LeftButton;
                t.Click(randomPoint(), PackColor(pick(0, 255), pick(0, 255), pick(0, 255)), autoExposure, button);
            } else if (action == 7 && t.s.Child<QAction>("mnuUndo")->isEnabled()) {
                t.s.Child<QAction>("mnuUndo")->trigger();
                t.reference.Undo(autoExposure);
            } else {
                t.s.Child<QAction>("mnuRender")->trigger();
                t.reference.Render(false, t.Intensity(), t.Fog(), autoExposure);
            }
            t.ExpectSameAsReference(action < 7 ? "click" : action == 7 ? "undo" : "render");
            if (HasFatalFailure()) return;
        }
    }
}

TEST(LightRendering, AWhiteLightAtDefaultSettings) {
    Scene t(640, 480);
    t.Click(QPointF(100, 100), PackColor(255, 255, 255), false);
    const LightArray& buffer = t.s.window->Document().LightBuffer;
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(buffer.At(100, 100, c), 255.0f);
        EXPECT_EQ(buffer.At(110, 100, c), 127.5f);
    }
    EXPECT_EQ(t.canvas->Image().pixel(99, 99) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(t.s.platform.busy.events, std::vector<std::string>({"busy", "default"}));
}

TEST(LightRendering, FogZeroFallsOffSteeply) {
    Scene t(640, 480);
    t.SetFields("10", "0");
    t.Click(QPointF(100, 100), PackColor(255, 255, 255), false);
    EXPECT_NEAR(t.s.window->Document().LightBuffer.At(101, 100, 1), 10.0 * 255.0 / 21.0, 1e-3);
}

TEST(LightRendering, AutoExposureScalesTheBrightestChannelToFull) {
    for (const bool autoExposure : {false, true}) {
        Scene t(640, 480);
        SetAutoExposure(t.s.platform, autoExposure ? "1" : "0");
        t.Click(QPointF(100, 100), PackColor(255, 255, 255), autoExposure);
        t.Click(QPointF(100, 100), PackColor(255, 255, 255), autoExposure);
        EXPECT_EQ(t.s.window->Document().LightBuffer.At(110, 100, 1), 255.0f);
        EXPECT_EQ(qRed(t.canvas->Image().pixel(99, 99)), 255);
        EXPECT_EQ(qRed(t.canvas->Image().pixel(109, 99)), autoExposure ? 128 : 255);
    }
}

TEST(LightRendering, TheProgressStripCoversWholeStepsOfTenColumns) {
    Scene t(645, 20);
    t.Click(QPointF(3, 3), PackColor(0, 0, 255), false);
    const auto strip = t.s.window->Document().GMPicProgress.Bytes();
    for (int x = 0; x < 645; ++x) {
        for (int y = 0; y < 10; ++y) {
            const std::uint8_t expected = x < 640 ? 70 : 0;
            const std::size_t at = (std::size_t(y) * 645 + x) * 4;
            ASSERT_EQ(strip[at], expected) << x;
            ASSERT_EQ(strip[at + 2], expected) << x;
        }
    }
}

TEST(LightRendering, ARebuildForgetsIntensityAndFog) {
    Scene t(200, 100);
    t.SetFields("20", "10");
    t.Click(QPointF(50, 50), PackColor(255, 255, 255), false);
    EXPECT_EQ(t.s.window->Document().LightBuffer.At(50, 50, 2), 510.0f);
    t.s.Child<QAction>("mnuRender")->trigger();
    EXPECT_EQ(t.s.window->Document().LightBuffer.At(50, 50, 2), 25.5f);
}

TEST(LightRendering, ASettingThatIsNoNumberStopsTheRenderBeforeItStarts) {
    Scene t(100, 80);
    SetAutoExposure(t.s.platform, "abc");
    t.Click(QPointF(10, 10), PackColor(255, 255, 255), false);
    const DrawingDocument& doc = t.s.window->Document();
    EXPECT_EQ(t.s.platform.messages.shown, std::vector<MessageRequest>{ErrorBox("Type mismatch")});
    EXPECT_EQ(doc.LightBuffer.At(10, 10, 1), 0.0f);
    EXPECT_EQ(doc.LightsCount, 1);
    EXPECT_TRUE(t.s.platform.busy.events.empty());
    EXPECT_EQ(t.canvas->Image().pixel(9, 9) & 0xFFFFFF, 0u);
}
