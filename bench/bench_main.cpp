// Times the work a click, an undo, a full re-render, a clear, a load and a save do on whole
// pictures, next to the memory floor of each (one plain pass over exactly the bytes the
// operation must move) and next to the literal reference model. Prints a summary at the end.

#include "editor/LightEngine.h"
#include "editor/LightKernels.h"
#include "files/QtPictureFiles.h"
#include "picture/ImageSurface.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "support/LightReference.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

ScriptedMessageBoxes messages;

struct Size {
    int width, height;
};
const Size kSizes[] = {{640, 480}, {1920, 1080}, {5000, 5000}};

// A drawing of the given size with the canvas it is shown on.
struct Scene {
    DrawingDocument doc{messages};
    ImageSurface canvas;

    Scene(int width, int height) {
        doc.PictureWidth = width;
        doc.PictureHeight = height;
        QImage blank(width, height, QImage::Format_RGB32);
        blank.fill(Qt::black);
        canvas.SetAutoSize(true);
        canvas.SetPicture(blank);
        canvas.ClearPicture();
        doc.LightBuffer.Reallocate(width, height);
        doc.UndoBuffer.Reallocate(width, height);
        doc.GMPic1.CreateNewPicture(float(width), float(height));
        doc.GMPic2.CreateNewPicture(float(width), float(height));
        doc.GMPicProgress.CreateNewPicture(float(width), 10.0f);
    }
    void AddLight(float x, float y) {
        doc.Lights.push_back(LightPoint{x, y, 255, 200, 120});
        doc.LightsCount = std::int32_t(doc.Lights.size() - 1);
    }
    // One click as the main window does it: the undo copy, the newest light with the
    // progress strip over the old picture, the redraw and the copy onto the canvas.
    void Click(bool autoExposure) {
        doc.GMPicProgress.Cls();
        canvas.MergeImageIntoPicture();
        std::int32_t shown = 0;
        const float maximum = RenderLightBuffer(
            doc, true, 10.0f, 1.0f, autoExposure, &doc.UndoBuffer,
            [&](std::int32_t columns) {
                ShowProgress(doc, canvas, shown + 1, columns);
                shown = columns;
            },
            !autoExposure);
        if (autoExposure) RedrawPicture(doc, maximum);
        doc.GMPic1.PrintToPictureBox(canvas, false, false);
    }
};

// One big drawing at a time: the old one goes before the next is made.
Scene& SceneOf(int width, int height) {
    static std::unique_ptr<Scene> scene;
    if (!scene || scene->doc.PictureWidth != width || scene->doc.PictureHeight != height) {
        scene.reset();
        scene = std::make_unique<Scene>(width, height);
        scene->AddLight(width / 3.0f, height / 2.0f);
    }
    return *scene;
}

// The bytes a click must move: read the light buffer, write the undo and light buffers and
// the 32-bit pixels, split over the same threads as the work.
void MemoryFloorPass(Scene& scene) {
    LightArray& light = scene.doc.LightBuffer;
    LightArray& undo = scene.doc.UndoBuffer;
    std::uint8_t* pixels = scene.doc.GMPic1.Bytes().data();
    const int width = scene.doc.PictureWidth;
    const int height = scene.doc.PictureHeight;
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int y = 1 + int(t); y <= height; y += int(threads)) {
                for (int c = 1; c <= 3; ++c) {
                    float* row = light.Row(c, y).data();
                    float* copy = undo.Row(c, y).data();
                    for (int x = 1; x <= width; ++x) {
                        copy[x] = row[x];
                        row[x] = row[x] + 1.0f;
                    }
                }
                std::memset(pixels + std::size_t(y - 1) * std::size_t(width) * 4, y & 0xFF, std::size_t(width) * 4);
            }
        });
    }
    for (auto& worker : workers) worker.join();
    benchmark::ClobberMemory();
}

void BM_Click(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) scene.Click(state.range(2) != 0);
}

void BM_ClickFloor(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) MemoryFloorPass(scene);
}

void BM_ClickReference(benchmark::State& state) {
    ReferenceDrawing reference(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        reference.Click(reference.width / 3.0f, reference.height / 2.0f, 255, 200, 120, "10", "10",
                        state.range(2) != 0);
    }
}

void BM_FindMaximum(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(FindMaximumOfPicture(scene.doc));
}

void BM_RenderAll(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    scene.doc.Lights.resize(1);
    std::mt19937 random(1);
    for (int k = 0; k < state.range(2); ++k) {
        scene.AddLight(float(random() % scene.doc.PictureWidth), float(random() % scene.doc.PictureHeight));
    }
    for (auto _ : state) RenderLightBuffer(scene.doc, false, 10.0f, 1.0f, false, nullptr, {});
    state.counters["pixel_lights_per_s"] = benchmark::Counter(
        double(scene.doc.PictureWidth) * scene.doc.PictureHeight * double(state.range(2)), benchmark::Counter::kIsIterationInvariantRate);
    scene.doc.Lights.resize(2);
    scene.doc.LightsCount = 1;
}

void BM_RenderAllReference(benchmark::State& state) {
    ReferenceDrawing reference(int(state.range(0)), int(state.range(1)));
    std::mt19937 random(1);
    for (int k = 0; k < state.range(2); ++k) {
        reference.lights.push_back(LightPoint{float(random() % reference.width), float(random() % reference.height), 255, 200, 120});
    }
    reference.lightsCount = std::int32_t(state.range(2));
    for (auto _ : state) reference.Render(false, "10", "10", false);
    state.counters["pixel_lights_per_s"] = benchmark::Counter(
        double(reference.width) * reference.height * double(state.range(2)), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Undo(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        CopyLights(scene.doc, scene.doc.UndoBuffer, scene.doc.LightBuffer);
        RedrawPicture(scene.doc, 255.0f);
        scene.doc.GMPic1.PrintToPictureBox(scene.canvas, false, false);
    }
}

void BM_Clear(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        scene.canvas.Cls();
        scene.doc.LightBuffer.Reallocate(scene.doc.PictureWidth, scene.doc.PictureHeight);
        scene.doc.UndoBuffer.Reallocate(scene.doc.PictureWidth, scene.doc.PictureHeight);
        scene.doc.GMPic1.CreateNewPicture(float(scene.doc.PictureWidth), float(scene.doc.PictureHeight));
        scene.doc.GMPic2.CreateNewPicture(float(scene.doc.PictureWidth), float(scene.doc.PictureHeight));
    }
}

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QString BigPicture(const char* format) {
    const QString path = Folder().filePath(QStringLiteral("big.%1").arg(QLatin1String(format)));
    if (!QFile::exists(path)) {
        QImage picture(5000, 5000, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
        }
        picture.save(path, format, 90);
    }
    return path;
}

void BM_LoadJpeg(benchmark::State& state) {
    const QString path = BigPicture("jpg");
    QtPictureFiles files;
    for (auto _ : state) benchmark::DoNotOptimize(files.Load(path));
}

void BM_LoadJpegQt(benchmark::State& state) {
    const QString path = BigPicture("jpg");
    QImageReader::setAllocationLimit(0);
    for (auto _ : state) benchmark::DoNotOptimize(QImageReader(path).read());
}

void BM_SaveBmp(benchmark::State& state) {
    const QImage picture = QImage(BigPicture("jpg")).convertToFormat(QImage::Format_RGB32);
    QtPictureFiles files;
    const QString path = Folder().filePath("saved.bmp");
    for (auto _ : state) files.SaveBmp(picture, path);
}

void BM_SaveBmpQt(benchmark::State& state) {
    const QImage picture = QImage(BigPicture("jpg")).convertToFormat(QImage::Format_RGB32);
    const QString path = Folder().filePath("saved-qt.bmp");
    for (auto _ : state) picture.save(path, "bmp");
}

// Collects the median of each benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;  // name -> seconds

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime() / 1e3;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

long PeakMemoryKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void Register() {
    const auto sized = [](benchmark::internal::Benchmark* b, std::initializer_list<int64_t> extra) {
        for (const Size size : kSizes) {
            for (const int64_t value : extra) b->Args({size.width, size.height, value});
        }
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
    };
    sized(benchmark::RegisterBenchmark("Click", BM_Click), {0, 1});
    sized(benchmark::RegisterBenchmark("ClickFloor", BM_ClickFloor), {0});
    sized(benchmark::RegisterBenchmark("ClickReference", BM_ClickReference)->Iterations(1), {0, 1});
    sized(benchmark::RegisterBenchmark("Undo", BM_Undo), {0});
    sized(benchmark::RegisterBenchmark("FindMaximum", BM_FindMaximum), {0});
    sized(benchmark::RegisterBenchmark("Clear", BM_Clear), {0});
    sized(benchmark::RegisterBenchmark("RenderAll", BM_RenderAll), {1, 10, 100});
    sized(benchmark::RegisterBenchmark("RenderAllReference", BM_RenderAllReference)->Iterations(1), {1, 10});
    for (auto* b : {benchmark::RegisterBenchmark("LoadJpeg5000", BM_LoadJpeg), benchmark::RegisterBenchmark("LoadJpeg5000Qt", BM_LoadJpegQt),
                    benchmark::RegisterBenchmark("SaveBmp5000", BM_SaveBmp), benchmark::RegisterBenchmark("SaveBmp5000Qt", BM_SaveBmpQt)}) {
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
    }
}

double Median(const SummaryReporter& r, const std::string& name) {
    const auto found = r.medians.find(name);
    return found == r.medians.end() ? 0.0 : found->second;
}

void PrintSummary(const SummaryReporter& r) {
    std::printf("\nSummary (medians; ratios against the memory floor and the literal reference)\n");
    for (const Size s : kSizes) {
        const std::string size = std::to_string(s.width) + "/" + std::to_string(s.height);
        const double floor = Median(r, "ClickFloor/" + size + "/0");
        for (const int autoOn : {0, 1}) {
            const std::string args = size + "/" + std::to_string(autoOn);
            const double click = Median(r, "Click/" + args);
            const double reference = Median(r, "ClickReference/" + args);
            std::printf("click %-10s auto %s: %9.3f ms  %5.2f x floor  %6.1f x faster than the reference\n",
                        size.c_str(), autoOn ? "on " : "off", click * 1e3, floor > 0 ? click / floor : 0.0,
                        click > 0 ? reference / click : 0.0);
        }
    }
    for (const Size s : kSizes) {
        const std::string size = std::to_string(s.width) + "/" + std::to_string(s.height);
        for (const int lights : {1, 10, 100}) {
            const double all = Median(r, "RenderAll/" + size + "/" + std::to_string(lights));
            const double reference = Median(r, "RenderAllReference/" + size + "/" + std::to_string(lights));
            const double rate = all > 0 ? double(s.width) * s.height * lights / all : 0.0;
            std::printf("render(false) %-10s %3d lights: %9.3f ms  %6.2f G pixel-lights/s  %s\n", size.c_str(), lights,
                        all * 1e3, rate / 1e9,
                        reference > 0 ? (std::to_string(reference / all) + " x faster than the reference").c_str() : "");
        }
    }
    const double load = Median(r, "LoadJpeg5000/"), loadQt = Median(r, "LoadJpeg5000Qt/");
    const double save = Median(r, "SaveBmp5000/"), saveQt = Median(r, "SaveBmp5000Qt/");
    std::printf("load 5000 x 5000 JPEG: %.1f ms, %.2f x Qt's own decode\n", load * 1e3, loadQt > 0 ? load / loadQt : 0.0);
    std::printf("save 5000 x 5000 BMP:  %.1f ms, %.2f x Qt's own encode\n", save * 1e3, saveQt > 0 ? save / saveQt : 0.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        Scene document(5000, 5000);
        std::printf("peak memory of a 5000 x 5000 drawing: %.0f MB\n", PeakMemoryKiB() / 1024.0);
    }
    Register();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    return 0;
}
