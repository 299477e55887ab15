#include "Scenes.h"

#include "core/lights/LightEngine.h"
#include "windows/editor/CanvasRender.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"
#include "windows/picture/PictureBox.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

// The benchmark's own way into the engine: the floors run over the engine's buffers, on its
// threads in its chunks, so that an operation and its floor meet the same memory.
struct LightEngineFloors {
    LightEngine& engine;

    // Runs perRow(y) over every row and returns the greatest value it gave.
    template <typename PerRow>
    float OverRows(PerRow perRow) {
        return engine.rows_.Run(engine.Width(), engine.Height(), [&](StepSpan rows, int) {
            float m = 0.0f;
            for (int y = rows.first; y <= rows.last; ++y) m = std::max(m, perRow(y));
            return m;
        });
    }
    int Threads() const { return engine.rows_.Threads(); }
    LightPlanes& Light() { return engine.light_; }
    LightPlanes& Undo() { return engine.undo_; }
    // The undo copy made anew without copying, for undoing again and again: a real undo comes
    // after a click, which leaves the undo copy apart from the buffer.
    void ApartUndoCopy() { engine.undoIsLight_ = false; }
    // The floor of a click copies the buffer to the undo copy and leaves the values as they
    // were, so the rows' maxima hold for both.
    void UndoCopyHasTheBuffersMaxima() { engine.undoMaxima_ = engine.lightMaxima_; }
    void ForgetMaxima() { engine.lightMaxima_.clear(); }
};

Scene::Scene(int width, int height) {
    doc.PictureWidth = width;
    doc.PictureHeight = height;
    QImage blank(width, height, QImage::Format_RGB32);
    blank.fill(Qt::black);
    canvas.SetAutoSize(true);
    canvas.SetPicture(blank);
    canvas.ClearPicture();
    Clear();
    doc.Lights.push_back(LightPoint{width / 3.0f, height / 2.0f, 255, 200, 120});
    doc.LightsCount = 1;
}

void Scene::Click(bool autoExposure, bool withStrip) {
    const NewLight newest{doc.Lights[1], 10.0f, 1.0f};
    const Exposure exposure = autoExposure ? Exposure::Automatic : Exposure::Clipped;
    RenderOntoCanvas(doc, canvas, messages, [&](const PictureRows& picture, const LightEngine::Progress& progress) {
        const LightEngine::Progress timed = [&](std::int32_t rowsDone) {
            const auto start = std::chrono::steady_clock::now();
            progress(rowsDone);
            stripSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        doc.lightEngine.AddLight(newest, true, exposure, picture, withStrip ? timed : LightEngine::Progress{});
    });
}

void Scene::Undo() {
    LightEngineFloors{doc.lightEngine}.ApartUndoCopy();
    doc.lightEngine.RestoreUndoCopy();
    benchmark::DoNotOptimize(doc.lightEngine.FindMaximum());
    const PictureRows picture = PictureAndCanvas(doc, canvas);
    doc.lightEngine.Redraw(255.0f, picture);
    ShowDrawnPicture(doc, canvas, messages, picture);
}

void Scene::Clear() {
    const int width = doc.PictureWidth, height = doc.PictureHeight;
    canvas.Cls();
    doc.lightEngine.Reset(width, height);
    doc.GMPic1.CreateNewPicture(float(width), float(height));
    doc.GMPic2.CreateNewPicture(float(width), float(height));
    doc.GMPicProgress.CreateNewPicture(float(width), 10.0f);
}

namespace {

std::uint8_t* PixelRow(PixelBuffer& picture, int y) {
    return picture.Bytes().data() + std::size_t(y) * std::size_t(picture.Width()) * 4;
}

}  // namespace

void Scene::ClickFloorPass() {
    LightEngineFloors floors{doc.lightEngine};
    const int width = doc.PictureWidth;
    const std::size_t rowBytes = std::size_t(width) * 4;
    // Each value is written back unchanged (adding +0 is no identity the compiler may skip,
    // but leaves values that are never negative as they were), so the clicks timed between
    // floors find the buffer as they left it.
    floors.OverRows([&](int y) {
        for (int c = 0; c < 3; ++c) {
            float* row = floors.Light().Row(c, y);
            float* copy = floors.Undo().Row(c, y);
            for (int x = 0; x < width; ++x) {
                copy[x] = row[x];
                row[x] = row[x] + 0.0f;
            }
        }
        std::memset(PixelRow(doc.GMPic1, y), y & 0xFF, rowBytes);
        return 0.0f;
    });
    floors.UndoCopyHasTheBuffersMaxima();
}

void Scene::UndoFloorPass() {
    LightEngineFloors floors{doc.lightEngine};
    const int width = doc.PictureWidth;
    const std::size_t rowBytes = std::size_t(width) * 4;
    // The undo copy trades places with the light buffer, so an undo moves what its redraw
    // moves: the light buffer read and the pixels written. The values' bits are gathered so
    // that the reads cannot be left out.
    floors.OverRows([&](int y) {
        std::uint32_t bits = 0;
        for (int c = 0; c < 3; ++c) {
            const float* row = floors.Light().Row(c, y);
            for (int x = 0; x < width; ++x) bits |= std::bit_cast<std::uint32_t>(row[x]);
        }
        std::memset(PixelRow(doc.GMPic1, y), int(bits & 0xFF), rowBytes);
        return 0.0f;
    });
}

void Scene::RenderFloorPass() {
    LightEngineFloors floors{doc.lightEngine};
    const int width = doc.PictureWidth;
    floors.ForgetMaxima();
    floors.OverRows([&](int y) {
        for (int c = 0; c < 3; ++c) {
            float* to = floors.Light().Row(c, y);
            for (int x = 0; x < width; ++x) to[x] = float(x);
        }
        return 0.0f;
    });
}

float Scene::FindMaximumFloorPass() {
    LightEngineFloors floors{doc.lightEngine};
    const int width = doc.PictureWidth;
    return floors.OverRows([&](int y) {
        // Maxima side by side, so that the compiler can keep a whole vector of them.
        constexpr int kLanes = 16;
        float lanes[kLanes] = {};
        float m = 0.0f;
        for (int c = 0; c < 3; ++c) {
            const float* row = floors.Light().Row(c, y);
            int x = 0;
            for (; x + kLanes <= width; x += kLanes) {
                for (int i = 0; i < kLanes; ++i) lanes[i] = std::max(lanes[i], row[x + i]);
            }
            for (; x < width; ++x) m = std::max(m, row[x]);
        }
        for (const float lane : lanes) m = std::max(m, lane);
        return m;
    });
}

void Scene::ClearFloorPass() {
    LightEngineFloors floors{doc.lightEngine};
    const std::size_t rowBytes = std::size_t(doc.PictureWidth) * 4;
    floors.ForgetMaxima();
    floors.OverRows([&](int y) {
        for (int c = 0; c < 3; ++c) {
            std::memset(floors.Light().Row(c, y), 0, rowBytes);
            std::memset(floors.Undo().Row(c, y), 0, rowBytes);
        }
        std::memset(PixelRow(doc.GMPic1, y), 0, rowBytes);
        std::memset(PixelRow(doc.GMPic2, y), 0, rowBytes);
        return 0.0f;
    });
}

int Scene::Threads() { return LightEngineFloors{doc.lightEngine}.Threads(); }

namespace {

std::unique_ptr<Scene> scene;
std::unique_ptr<WindowScene> windowScene;

}  // namespace

Scene& SceneOf(int width, int height) {
    if (!scene || scene->doc.PictureWidth != width || scene->doc.PictureHeight != height) {
        scene.reset();
        scene = std::make_unique<Scene>(width, height);
    }
    return *scene;
}

WindowScene& WindowSceneOf(int width, int height, int zoomStep) {
    if (!windowScene || windowScene->window->PictureWidth() != width || windowScene->window->PictureHeight() != height ||
        windowScene->zoomStep != zoomStep) {
        windowScene.reset();
        windowScene = std::make_unique<WindowScene>(width, height, zoomStep);
        windowScene->Click();
    }
    return *windowScene;
}

void ReleaseScenes() {
    scene.reset();
    windowScene.reset();
}

WindowScene::WindowScene(int width, int height, int zoomStep)
    : window(std::make_unique<frmDrawing>(platform)), zoomStep(zoomStep) {
    window->Form_Load();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != window.get() && widget->isVisible()) widget->close();
    }
    window->ChangePictureSize(width, height);
    window->ClearAll();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qFatal("The window did not come up.");
    QApplication::processEvents();  // fitted to the screen
    window->findChild<CanvasBox*>(QStringLiteral("p"))->SetZoomStep(zoomStep);
    QApplication::processEvents();
}

WindowScene::~WindowScene() {
    window.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowScene::Click() {
    auto* view = window->findChild<CanvasView*>(QStringLiteral("client"));
    auto* canvas = window->findChild<CanvasBox*>(QStringLiteral("p"));
    const QPoint middle = view->VisibleCanvas().center();
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, canvas->mapFrom(view->viewport(), middle));
    QApplication::processEvents();
}

void WindowScene::ScrollScreenful() {
    QScrollBar* down = window->findChild<CanvasView*>(QStringLiteral("client"))->verticalScrollBar();
    down->setValue(down->value() == down->maximum() ? 0 : down->value() + down->pageStep());
    QApplication::processEvents();
}

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

QString TemporaryPath(const QString& name) { return Folder().filePath(name); }

QString BigPicture(const char* format) { return GeneratedPicture(format, 5000, 5000); }

QString GeneratedPicture(const char* format, int width, int height) {
    const QString name = QStringLiteral("%1x%2.%3").arg(width).arg(height).arg(QLatin1String(format));
    const QString path = TemporaryPath(name);
    if (!QFile::exists(path)) {
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
        }
        picture.save(path, format, 90);
    }
    return path;
}
