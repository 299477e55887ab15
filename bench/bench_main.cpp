// Times the work a click, an undo, a full re-render, a clear, a load and a save do on whole
// pictures, next to the memory floor of each click (one plain pass over exactly the bytes
// it must move) and next to the literal reference model, and prints a summary at the end.

#include "Scenes.h"

#include "core/common/LargeBlocks.h"
#include "core/common/PeakMemory.h"
#include "core/lights/LightEngine.h"
#include "core/lights/RowKernels.h"
#include "core/picture/ReducedView.h"
#include "core/files/QtPictureFiles.h"
#include "support/LightReference.h"

#include <QAction>
#include <QApplication>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <thread>

namespace {

struct Size {
    int width, height;
};
const Size kSizes[] = {{640, 480}, {1920, 1080}, {5000, 5000}};

// The thread cap of a benchmark's fourth argument, if it has one (0: every core).
struct ThreadCap {
    ThreadCap(Scene& scene, const benchmark::State& state) : engine(scene.doc.lightEngine) {
        engine.SetThreadLimit(int(state.range(3)));
    }
    ~ThreadCap() { engine.SetThreadLimit(0); }
    LightEngine& engine;
};

void BM_Click(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    const ThreadCap cap(scene, state);
    for (auto _ : state) scene.Click(state.range(2) != 0);
}

// Each timed operation is followed by its floor pass on the same buffers, timed apart: where
// in memory a big buffer lands changes both alike, by as much as a third on this machine, so
// only an operation and its floor measured side by side compare fairly.
template <typename Operation, typename Floor>
void TimeBesideFloor(benchmark::State& state, Operation operation, Floor floor) {
    using Clock = std::chrono::steady_clock;
    double floorSeconds = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        operation();
        const Clock::time_point done = Clock::now();
        floor();
        benchmark::ClobberMemory();
        floorSeconds += std::chrono::duration<double>(Clock::now() - done).count();
        state.SetIterationTime(std::chrono::duration<double>(done - start).count());
    }
    state.counters["floor_ms"] = floorSeconds * 1e3 / double(state.iterations());
}

void BM_ClickBesideFloor(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    const ThreadCap cap(scene, state);
    TimeBesideFloor(
        state, [&] { scene.Click(state.range(2) != 0); }, [&] { scene.ClickFloorPass(); });
}

// A click, and after it the same click without the progress strip, timed apart: what printing the
// strip costs. Side by side, because where the buffers land in memory changes a click by more
// than the strip does.
void BM_ClickBesideClickWithoutStrip(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    const bool autoExposure = state.range(2) != 0;
    scene.stripSeconds = 0.0;
    TimeBesideFloor(
        state, [&] { scene.Click(autoExposure); }, [&] { scene.Click(autoExposure, false); });
    state.counters["strip_ms"] = scene.stripSeconds * 1e3 / double(state.iterations());
}

void BM_ClickReference(benchmark::State& state) {
    ReferenceDrawing reference(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        reference.Click(reference.width / 3.0f, reference.height / 2.0f, 255, 200, 120, "10", "10",
                        state.range(2) != 0);
    }
}

void BM_WindowClick(benchmark::State& state) {
    WindowScene& scene = WindowSceneOf(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    for (auto _ : state) scene.Click();
}

void BM_ScrollScreenful(benchmark::State& state) {
    WindowScene& scene = WindowSceneOf(int(state.range(0)), int(state.range(1)), 0);
    for (auto _ : state) scene.ScrollScreenful();
}

// After a click every view pixel is stale: the whole reduced view made again from the picture.
void BM_ReducedViewAfterClick(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1)), factor = int(state.range(2));
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(90, 160, 220));
    ReducedView view;
    view.Reset(picture.size(), factor);
    const QRect whole(QPoint(0, 0), ReducedSize(picture.size(), factor));
    for (auto _ : state) {
        view.PictureChanged(picture.rect());
        benchmark::DoNotOptimize(view.Updated(picture, whole).constBits());
    }
}

void BM_FindMaximum(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    scene.Click(false);  // a drawing with a light in it, as after any click, undo or re-render
    TimeBesideFloor(
        state, [&] { benchmark::DoNotOptimize(scene.doc.lightEngine.FindMaximum()); },
        [&] { benchmark::DoNotOptimize(scene.FindMaximumFloorPass()); });
}

void AddRandomLights(std::vector<LightPoint>& lights, int count, int width, int height) {
    std::mt19937 random(1);
    for (int k = 0; k < count; ++k) {
        lights.push_back(LightPoint{float(random() % unsigned(width)), float(random() % unsigned(height)), 255, 200, 120});
    }
}

void BM_RenderAll(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    const ThreadCap cap(scene, state);
    std::vector<LightPoint> lights;
    AddRandomLights(lights, int(state.range(2)), scene.doc.PictureWidth, scene.doc.PictureHeight);
    TimeBesideFloor(
        state, [&] { scene.doc.lightEngine.Rebuild(lights, Exposure::Clipped, {}); },
        [&] { scene.RenderFloorPass(); });
}

void BM_RenderAllReference(benchmark::State& state) {
    ReferenceDrawing reference(int(state.range(0)), int(state.range(1)));
    AddRandomLights(reference.lights, int(state.range(2)), reference.width, reference.height);
    reference.lightsCount = std::int32_t(state.range(2));
    for (auto _ : state) reference.Render(false, "10", "10", false);
}

void BM_Undo(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    TimeBesideFloor(state, [&] { scene.Undo(); }, [&] { scene.UndoFloorPass(); });
}

void BM_Clear(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)), int(state.range(1)));
    TimeBesideFloor(state, [&] { scene.Clear(); }, [&] { scene.ClearFloorPass(); });
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

// An 8000 x 6000 photo loaded onto the 640 x 480 canvas with Yes to the size question, next to
// decoding the same file alone: the picture read before the question serves after it too.
constexpr int kPhotoWidth = 8000, kPhotoHeight = 6000;

void BM_DecodePhoto(benchmark::State& state) {
    const QString path = GeneratedPicture("jpg", kPhotoWidth, kPhotoHeight);
    QtPictureFiles files;
    for (auto _ : state) benchmark::DoNotOptimize(files.Load(path));
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Back to a 640 x 480 drawing, with the file chooser and the size question answered for a
// load of the photo at its own size.
void AnswerAPhotoLoadWithYes(WindowScene& scene, const QString& path) {
    scene.window->AdoptPictureSize(640, 480);
    scene.platform.files.answers.push_back({true, path, 1});
    scene.platform.messages.answers.assign({MessageAnswer::Yes});
}

// The repeated loads reuse memory the previous one gave back; the first load of the process
// pays for all of its memory fresh, as a user's first photo does.
double firstPhotoLoadSeconds = 0.0;

void BM_LoadPhotoWithYes(benchmark::State& state) {
    const QString path = GeneratedPicture("jpg", kPhotoWidth, kPhotoHeight);
    WindowScene& scene = WindowSceneOf(640, 480, 0);
    QAction* load = scene.window->findChild<QAction*>(QStringLiteral("mnuLoad"));
    scene.platform.pictures.loaded.clear();
    for (auto _ : state) {
        AnswerAPhotoLoadWithYes(scene, path);
        scene.platform.messages.shown.clear();
        const auto start = std::chrono::steady_clock::now();
        load->trigger();
        const double seconds = SecondsSince(start);
        state.SetIterationTime(seconds);
        if (firstPhotoLoadSeconds == 0.0) firstPhotoLoadSeconds = seconds;
        if (scene.window->PictureWidth() != kPhotoWidth || scene.platform.messages.shown.size() != 1) {
            state.SkipWithError("the photo did not load with one question");
            break;
        }
    }
    const auto loads = std::max<benchmark::IterationCount>(state.iterations(), 1);
    state.counters["decodes_per_load"] = double(scene.platform.pictures.loaded.size()) / double(loads);
    scene.window->AdoptPictureSize(640, 480);
}

// The undo buffer of a new drawing is only touched by its first light, so the first click
// after such a load is the one that pays for its memory; the second shows the usual cost.
void BM_FirstClickAfterLoad(benchmark::State& state) {
    const QString path = GeneratedPicture("jpg", kPhotoWidth, kPhotoHeight);
    WindowScene& scene = WindowSceneOf(640, 480, 0);
    QAction* load = scene.window->findChild<QAction*>(QStringLiteral("mnuLoad"));
    double secondClicks = 0.0;
    for (auto _ : state) {
        AnswerAPhotoLoadWithYes(scene, path);
        load->trigger();
        auto start = std::chrono::steady_clock::now();
        scene.Click();
        state.SetIterationTime(SecondsSince(start));
        start = std::chrono::steady_clock::now();
        scene.Click();
        secondClicks += SecondsSince(start);
    }
    state.counters["second_click_ms"] = secondClicks * 1e3 / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    scene.window->AdoptPictureSize(640, 480);
}

// What a load that filled the new drawing only after the decode would cost beyond it at the
// least: one plain write, on every core, of every array the drawing must hold filled (the
// canvas, the displayed picture, the light buffer) into memory already in place. A load below
// decode plus this has done that work while the photo decoded.
void BM_PhotoMemoryFloor(benchmark::State& state) {
    const std::size_t pixelBytes = std::size_t(kPhotoWidth) * kPhotoHeight * 4;
    std::vector<std::pair<char*, std::size_t>> blocks;
    for (const std::size_t bytes : {pixelBytes, pixelBytes, LightEngine::BufferBytes(kPhotoWidth, kPhotoHeight)}) {
        blocks.emplace_back(static_cast<char*>(large_blocks::Allocate(bytes)), bytes);
    }
    const auto writeAll = [&](int value) {
        for (const auto& [block, bytes] : blocks) {
            large_blocks::InSlices(bytes, [&, block = block](std::size_t from, std::size_t to) {
                std::memset(block + from, value, to - from);
            });
        }
    };
    writeAll(0);
    int value = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        writeAll(++value & 0xFF);
        state.SetIterationTime(SecondsSince(start));
    }
    for (const auto& [block, bytes] : blocks) large_blocks::Free(block, bytes);
}

// The part of such a load that is not the decode's: the blank drawing at the photo's size.
void BM_AdoptPhotoSize(benchmark::State& state) {
    WindowScene& scene = WindowSceneOf(640, 480, 0);
    for (auto _ : state) {
        scene.window->AdoptPictureSize(640, 480);
        const auto start = std::chrono::steady_clock::now();
        scene.window->AdoptPictureSize(kPhotoWidth, kPhotoHeight);
        state.SetIterationTime(SecondsSince(start));
    }
    scene.window->AdoptPictureSize(640, 480);
}

void BM_SaveBmp(benchmark::State& state) {
    const QImage picture = QImage(BigPicture("jpg")).convertToFormat(QImage::Format_RGB32);
    QtPictureFiles files;
    const QString path = TemporaryPath("saved.bmp");
    for (auto _ : state) files.SaveBmp(picture, path);
}

void BM_SaveBmpQt(benchmark::State& state) {
    const QImage picture = QImage(BigPicture("jpg")).convertToFormat(QImage::Format_RGB32);
    const QString path = TemporaryPath("saved-qt.bmp");
    for (auto _ : state) picture.save(path, "bmp");
}

// Collects the median of each benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;  // name/arguments -> seconds
    std::map<std::string, double> floors;   // name/arguments -> seconds
    std::map<std::string, double> processorTimes;  // name/arguments -> seconds
    std::map<std::string, double> decodesPerLoad;  // name/arguments -> decodes
    std::map<std::string, double> strips;          // name/arguments -> seconds in the strip's reports
    std::map<std::string, double> secondClicks;    // name/arguments -> seconds

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const std::string name = run.run_name.function_name + "/" + run.run_name.args;
                medians[name] = run.GetAdjustedRealTime() / 1e3;
                processorTimes[name] = run.GetAdjustedCPUTime() / 1e3;
                if (const auto floor = run.counters.find("floor_ms"); floor != run.counters.end()) {
                    floors[name] = floor->second.value / 1e3;
                }
                if (const auto decodes = run.counters.find("decodes_per_load"); decodes != run.counters.end()) {
                    decodesPerLoad[name] = decodes->second.value;
                }
                if (const auto strip = run.counters.find("strip_ms"); strip != run.counters.end()) {
                    strips[name] = strip->second.value / 1e3;
                }
                if (const auto second = run.counters.find("second_click_ms"); second != run.counters.end()) {
                    secondClicks[name] = second->second.value / 1e3;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    static double Find(const std::map<std::string, double>& in, const std::string& name) {
        const auto found = in.find(name);
        return found == in.end() ? 0.0 : found->second;
    }
    double Median(const std::string& name) const { return Find(medians, name); }
    double Floor(const std::string& name) const { return Find(floors, name); }
};

void Register() {
    // Clicks time themselves, apart from their floors; everything else is timed by the clock.
    const auto timed = [](benchmark::internal::Benchmark* b, bool manual = false) {
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
        if (manual) {
            b->UseManualTime();
        } else {
            b->UseRealTime();
        }
    };
    const auto sized = [&](benchmark::internal::Benchmark* b, std::initializer_list<int64_t> extra, bool manual = false) {
        for (const Size size : kSizes) {
            for (const int64_t value : extra) b->Args({size.width, size.height, value, 0});
        }
        timed(b, manual);
    };
    sized(benchmark::RegisterBenchmark("Click", BM_Click), {0, 1});
    timed(benchmark::RegisterBenchmark("ClickBesideClickWithoutStrip", BM_ClickBesideClickWithoutStrip)
              ->Args({5000, 5000, 0, 0}),
          true);
    sized(benchmark::RegisterBenchmark("ClickBesideFloor", BM_ClickBesideFloor), {0, 1}, true);
    sized(benchmark::RegisterBenchmark("ClickReference", BM_ClickReference)->Iterations(1), {0, 1});
    for (const int64_t threads : {1, 2}) {
        timed(benchmark::RegisterBenchmark("ClickThreads", BM_ClickBesideFloor)->Args({5000, 5000, 0, threads}), true);
    }
    timed(benchmark::RegisterBenchmark("WindowClick", BM_WindowClick)
              ->Args({640, 480, 0})
              ->Args({5000, 5000, 0})
              ->Args({5000, 5000, -2}));
    timed(benchmark::RegisterBenchmark("ScrollScreenful", BM_ScrollScreenful)->Args({5000, 5000})->Iterations(40));
    timed(benchmark::RegisterBenchmark("ReducedViewAfterClick", BM_ReducedViewAfterClick)->Args({5000, 5000, 4}));
    sized(benchmark::RegisterBenchmark("Undo", BM_Undo), {0}, true);
    // A search among known row maxima takes microseconds: left to itself, the library would
    // run the floor beside it hundreds of thousands of times.
    sized(benchmark::RegisterBenchmark("FindMaximum", BM_FindMaximum)->Iterations(50), {0}, true);
    sized(benchmark::RegisterBenchmark("Clear", BM_Clear), {0}, true);
    sized(benchmark::RegisterBenchmark("RenderAll", BM_RenderAll), {1, 10, 100}, true);
    sized(benchmark::RegisterBenchmark("RenderAllReference", BM_RenderAllReference)->Iterations(1), {1, 10});
    using Function = void (*)(benchmark::State&);
    timed(benchmark::RegisterBenchmark("DecodePhoto", BM_DecodePhoto));
    timed(benchmark::RegisterBenchmark("LoadPhotoWithYes", BM_LoadPhotoWithYes), true);
    timed(benchmark::RegisterBenchmark("FirstClickAfterLoad", BM_FirstClickAfterLoad), true);
    timed(benchmark::RegisterBenchmark("AdoptPhotoSize", BM_AdoptPhotoSize), true);
    timed(benchmark::RegisterBenchmark("PhotoMemoryFloor", BM_PhotoMemoryFloor), true);
    for (const auto& [name, function] : {std::pair<const char*, Function>("LoadJpeg5000", BM_LoadJpeg),
                                         {"LoadJpeg5000Qt", BM_LoadJpegQt}, {"SaveBmp5000", BM_SaveBmp},
                                         {"SaveBmp5000Qt", BM_SaveBmpQt}}) {
        timed(benchmark::RegisterBenchmark(name, function));
    }
}

std::string SizeArgs(Size s) { return std::to_string(s.width) + "/" + std::to_string(s.height); }

// The window against the click's own work: a press in the window is painted within 1.3 x the
// click, making the 1/4 view after a click within 0.5 x, and a screenful scrolls within a frame.
void PrintViewSummary(const SummaryReporter& r) {
    const double click = r.Median("Click/5000/5000/0/0");
    const auto verdict = [](bool within) { return within ? "within" : "OVER"; };
    std::printf("%-34s %7.3f ms\n", "click in the window 640/480", r.Median("WindowClick/640/480/0") * 1e3);
    for (const auto& [step, label] : {std::pair(0, "100%"), std::pair(-2, "1/4")}) {
        const double window = r.Median("WindowClick/5000/5000/" + std::to_string(step));
        std::printf("click in the window 5000/5000 at %-4s %7.3f ms %9.2fx the click (%s 1.3x)\n", label,
                    window * 1e3, window / click, verdict(window <= 1.3 * click));
    }
    const double reduced = r.Median("ReducedViewAfterClick/5000/5000/4");
    std::printf("%-34s %7.3f ms %9.2fx the click (%s 0.5x)\n", "1/4 view after a click 5000/5000", reduced * 1e3,
                reduced / click, verdict(reduced <= 0.5 * click));
    const double scroll = r.Median("ScrollScreenful/5000/5000");
    std::printf("%-34s %7.3f ms %12s (%s 16 ms)\n", "scroll a screenful 5000/5000", scroll * 1e3, "",
                verdict(scroll < 0.016));
}

void PrintSummary(const SummaryReporter& r, double documentMiB, double windowMiB) {
    std::printf("\nSummary: medians of 5 runs, %s row kernels, %d threads\n", ActiveRowKernels().name,
                std::max(1u, std::thread::hardware_concurrency()));
    std::printf("%-34s %10s %10s %12s\n", "operation", "time", "/ floor", "x reference");
    for (const Size s : kSizes) {
        for (const int autoOn : {0, 1}) {
            const std::string args = SizeArgs(s) + "/" + std::to_string(autoOn);
            const double click = r.Median("Click/" + args + "/0");
            const double besideFloor = r.Median("ClickBesideFloor/" + args + "/0");
            const double floor = r.Floor("ClickBesideFloor/" + args + "/0");
            const double reference = r.Median("ClickReference/" + args + "/0");
            const std::string label = "click " + SizeArgs(s) + (autoOn ? " auto on" : " auto off");
            std::printf("%-34s %7.3f ms %9.2fx %11.1fx   (beside its floor: %.3f ms, floor %.3f ms)\n", label.c_str(),
                        click * 1e3, besideFloor / floor, reference / click, besideFloor * 1e3, floor * 1e3);
        }
    }
    const std::string stripKey = "ClickBesideClickWithoutStrip/5000/5000/0/0";
    const double withStrip = r.Median(stripKey), withoutStrip = r.Floor(stripKey);
    // The reports' own time is an upper bound of what the strip adds (the other threads work on while
    // one prints), and precise where the two clicks' difference is lost in their spread.
    const double stripShare = SummaryReporter::Find(r.strips, stripKey) / withStrip * 100.0;
    std::printf("the progress strip's share of a click 5000/5000: %.2f %% (%s), %.3f ms of %.3f ms; the click "
                "without it %.3f ms\n",
                stripShare, stripShare <= 2.0 ? "within 2 %" : "OVER 2 %", SummaryReporter::Find(r.strips, stripKey) * 1e3,
                withStrip * 1e3, withoutStrip * 1e3);
    for (const int threads : {1, 2}) {
        const std::string name = "ClickThreads/5000/5000/0/" + std::to_string(threads);
        std::printf("click 5000/5000 on %d thread%s      %7.3f ms %9.2fx %12s   (floor %.3f ms)\n", threads,
                    threads == 1 ? " " : "s", r.Median(name) * 1e3, r.Median(name) / r.Floor(name), "",
                    r.Floor(name) * 1e3);
    }
    PrintViewSummary(r);
    for (const Size s : kSizes) {
        for (const int lights : {1, 10, 100}) {
            const std::string args = SizeArgs(s) + "/" + std::to_string(lights) + "/0";
            const double all = r.Median("RenderAll/" + args);
            const double reference = r.Median("RenderAllReference/" + args);
            const std::string label = "render(false) " + SizeArgs(s) + " " + std::to_string(lights) + " lights";
            char speedUp[16] = "";
            if (reference > 0) std::snprintf(speedUp, sizeof speedUp, "%.1fx", reference / all);
            std::printf("%-34s %7.3f ms %9.2fx %12s   (%.2f G pixel-lights/s)\n", label.c_str(), all * 1e3,
                        all / r.Floor("RenderAll/" + args), speedUp, double(s.width) * s.height * lights / all / 1e9);
        }
    }
    for (const char* name : {"Undo", "FindMaximum", "Clear"}) {
        const std::string key = std::string(name) + "/5000/5000/0/0";
        std::printf("%-34s %7.3f ms %9.3gx   (floor %.3f ms)\n", (std::string(name) + " 5000/5000").c_str(),
                    r.Median(key) * 1e3, r.Median(key) / r.Floor(key), r.Floor(key) * 1e3);
    }
    const double load = r.Median("LoadJpeg5000/"), loadQt = r.Median("LoadJpeg5000Qt/");
    const double save = r.Median("SaveBmp5000/"), saveQt = r.Median("SaveBmp5000Qt/");
    std::printf("%-34s %7.1f ms  %.2fx Qt's own decode\n", "load 5000 x 5000 JPEG", load * 1e3, load / loadQt);
    const double decodePhoto = r.Median("DecodePhoto/"), loadWithYes = r.Median("LoadPhotoWithYes/");
    const double memoryFloor = r.Median("PhotoMemoryFloor/");
    std::printf("%-34s %7.1f ms  %.2fx one decode (%.1f ms; bound 1.15x), %.0f decode(s) a load;\n"
                "%-34s             %.1f ms of it the blank drawing at the new size; the first load %.1f ms;\n"
                "%-34s             %.2fx one decode followed by one write of the new arrays in place (%.1f ms)\n",
                "load 8000 x 6000 JPEG with Yes", loadWithYes * 1e3, loadWithYes / decodePhoto, decodePhoto * 1e3,
                SummaryReporter::Find(r.decodesPerLoad, "LoadPhotoWithYes/"), "", r.Median("AdoptPhotoSize/") * 1e3,
                firstPhotoLoadSeconds * 1e3, "", loadWithYes / (decodePhoto + memoryFloor), memoryFloor * 1e3);
    std::printf("%-34s %7.1f ms  (the click after it %.1f ms)\n", "first click after that load",
                r.Median("FirstClickAfterLoad/") * 1e3, SummaryReporter::Find(r.secondClicks, "FirstClickAfterLoad/") * 1e3);
    std::printf("%-34s %7.1f ms  %.2fx Qt's own encode; processor time %.2fx (the rest is the flush to disk\n"
                "%-34s             that keeps the old file safe until the new one is complete)\n",
                "save 5000 x 5000 BMP", save * 1e3, save / saveQt,
                SummaryReporter::Find(r.processorTimes, "SaveBmp5000/") /
                    SummaryReporter::Find(r.processorTimes, "SaveBmp5000Qt/"),
                "");
    std::printf("peak memory: a 5000 x 5000 drawing after a click %.0f MB; with the window on screen %.0f MB\n",
                documentMiB, windowMiB);
}

// Peak memory of the document alone first, then of the shown window, before anything else.
std::pair<double, double> MeasurePeakMemory() {
    {
        Scene document(5000, 5000);
        document.Click(true);
        document.Click(false);
    }
    const double documentMiB = double(PeakMemoryKiB()) / 1024.0;
    {
        WindowScene shown(5000, 5000, 0);
        shown.Click();
    }
    return {documentMiB, double(PeakMemoryKiB()) / 1024.0};
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const auto [documentMiB, windowMiB] = MeasurePeakMemory();
    Register();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, documentMiB, windowMiB);
    ReleaseScenes();
    return 0;
}
