// The monkey: a seeded random walk through the main window and its dialogs, driven with
// QtTest input, with every question of the platform answered at random. After each action
// the drawing must still hold together; every 50 actions, on a small canvas, its light
// buffer must equal the literal reference's replay of the lights since the last clear or load.
//
//   QT_QPA_PLATFORM=offscreen:configfile=tests/offscreen-screen.json
//   GLIMMERAGE_MONKEY_SEED=7 GLIMMERAGE_MONKEY_ACTIONS=2000 glimmerage_monkey
// replays a walk exactly (on the screen `make monkey` and the suite use: the screen's size
// decides how the window shows a big canvas); GLIMMERAGE_MONKEY_TRACE=1 prints each action.

#include "support/LightReference.h"
#include "support/TestSupport.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"

#include <QMimeData>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr std::int64_t kSmallCanvas = 50'000;  // pixels: the reference replays drawings up to this size
const QString kInjectedFailure = QStringLiteral("The colour dialog broke down.");

std::mt19937_64 rng;
int Pick(int n) { return int(rng() % std::uint64_t(n)); }
bool Chance(int percent) { return Pick(100) < percent; }
template <typename T>
T Among(std::initializer_list<T> choices) { return choices.begin()[Pick(int(choices.size()))]; }

int EnvNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Where the walk is, written out however it ends: a failed check, a sanitizer report, a crash.
char gWhere[200] = "";
extern "C" void PrintWhere() {
    static volatile std::sig_atomic_t printed = 0;  // a sanitizer's death and the abort after it say it once
    if (printed) return;
    printed = 1;
    std::fputs(gWhere, stderr);
    std::fflush(stderr);
}
extern "C" void PrintWhereAndDie(int signal) {
    PrintWhere();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The platform's answers, each drawn at random when the program asks; recorded as scripted.
struct RandomMessages : ScriptedMessageBoxes {
    std::vector<MessageAnswer> given;  // the answer to each box in `shown`
    MessageAnswer Present(const MessageRequest& request) override {
        using enum MessageAnswer;
        answers.push_back(request.buttons == MessageButtons::Ok         ? Ok
                          : request.buttons == MessageButtons::OkCancel ? Among({Ok, Cancel})
                                                                        : Among({Yes, No}));
        given.push_back(ScriptedMessageBoxes::Present(request));
        return given.back();
    }
    bool Answered(const QString& title, MessageAnswer answer) const {
        for (std::size_t i = 0; i < shown.size(); ++i)
            if (shown[i].title == title && given[i] == answer) return true;
        return false;
    }
};

struct RandomColours : ScriptedColorDialog {
    std::optional<ColorValue> Choose(const ColorDialogRequest& request) override {
        const int roll = Pick(20);
        if (roll < 11) answers.push_back(std::optional<ColorValue>(ColorValue(rng() & 0xFFFFFF)));
        else answers.push_back(roll < 19 ? decltype(answers)::value_type() : Failure(51, kInjectedFailure));
        return ScriptedColorDialog::Choose(request);
    }
};

struct RandomFiles : ScriptedFileChooser {
    QStringList loads, saves;  // answers to "Load..." (with whatever was saved) and to "Save...", swapped now and then
    QString savesDir;
    bool loadChosen = false;  // a file was named for loading since the walk last looked
    FileChooserAnswer Choose(const FileChooserRequest& request) override {
        const bool load = !request.filters.front().first.startsWith("Bitmap");
        QStringList choices = loads;
        for (const QFileInfo& saved : QDir(savesDir).entryInfoList(QDir::Files)) choices << saved.filePath();
        if (load == Chance(12)) choices = saves;
        const QString chosen = choices[Pick(int(choices.size()))];
        answers.push_back(Chance(20) ? FileChooserAnswer{} : FileChooserAnswer{true, chosen, 1});
        const FileChooserAnswer answer = ScriptedFileChooser::Choose(request);
        loadChosen |= load && answer.confirmed && !answer.files.isEmpty();
        return answer;
    }
};

struct MonkeyPlatform : ScriptedPlatform {
    RandomMessages randomMessages;
    RandomColours randomColours;
    RandomFiles randomFiles;
    MessageBoxes& Messages() override { return randomMessages; }
    ColorDialog& Colors() override { return randomColours; }
    FileChooser& Files() override { return randomFiles; }
};

// One light-buffer change the reference can replay.
struct Step {
    enum Kind { Click, Undo, Rebuild } kind;
    LightPoint light;
    QString intensity, fog;
    bool autoExposure;
};

struct Monkey {
    const int seed = EnvNumber("GLIMMERAGE_MONKEY_SEED", 1);
    const int actions = EnvNumber("GLIMMERAGE_MONKEY_ACTIONS", 300);
    const bool trace = EnvNumber("GLIMMERAGE_MONKEY_TRACE", 0) != 0;
    QTemporaryDir dir;
    MonkeyPlatform platform;
    std::unique_ptr<frmDrawing> window;
    QString detail;        // what the current action did, for the trace
    QStringList ran;       // menu commands the current action ran
    bool dropped = false;  // the current action dropped a file on the window
    bool rightPressed = false;  // and pressed the right mouse button
    bool panned = false;        // or dragged with Space held on the canvas
    bool cleared = false;  // the current action started the drawing afresh: "Clear", a load or paste, a new size
    // What the walk expects of the drawing.
    std::vector<LightPoint> lights = std::vector<LightPoint>(1);
    bool undoPossible = false;
    std::optional<ReferenceDrawing> base;  // the light buffer at the last clear or load, on a small canvas
    std::vector<Step> steps;               // and what changed it since
    bool filled = false;  // a fill has drawn on the picture since the light buffer was last shown
    int done = 0;
    std::map<QString, int> tally;  // commands run, lights placed, replays checked: for the summary

    // What the walk knew before an action.
    struct Before {
        std::size_t lights;
        std::int32_t count;
        ColorValue colour;
        bool undo, autoExposure;
    };

    const DrawingDocument& Doc() const { return window->Document(); }
    template <typename T = QWidget>
    T* Child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    bool AutoExposure() const {  // as the program reads the setting; looking must not add it
        const auto found = platform.settings.values.find({"Glimmerage", "Settings", "AutoAdjustExposure"});
        return found != platform.settings.values.end() && found->second.toDouble() != 0.0;
    }

    void MakeFiles();
    void AnswerPopup();
    void Walk();
    std::string Violation(const Before& before);
    std::string Journal(const Before& before);
    ReferenceDrawing Snapshot() const;
    std::string ReplayMismatch();
};

QImage RandomPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    const int a = Pick(9), b = Pick(9), c = Pick(256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb((x * a + c) & 255, (y * b) & 255, (x ^ y) & 255));
    return picture;
}

// Good pictures of every format, each also cut short, with bytes bent, and with a header
// claiming a huge size; a larger picture, a folder, a missing file, an empty one and a text.
void Monkey::MakeFiles() {
    RandomFiles& files = platform.randomFiles;
    files.savesDir = dir.filePath("saves");
    QDir(dir.path()).mkpath("saves/folder.bmp");
    QList<QRgb> cube;  // a GIF's 256 colours
    for (int i = 0; i < 256; ++i) cube << (i < 216 ? qRgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51) : qRgb(i, i, i));
    for (const QString format : {"png", "bmp", "jpg", "gif"}) {
        const QString good = dir.filePath("good." + format);
        const QImage picture = RandomPicture(1 + Pick(64), 1 + Pick(64));
        if (format == "gif") WriteBytes(good, Gif(picture.convertToFormat(QImage::Format_Indexed8, cube)));
        else picture.save(good);
        const QByteArray bytes = ReadBytes(good);
        QByteArray bent = bytes;
        for (int i = 0; i < 4; ++i) bent[20 + Pick(std::max(1, int(bent.size()) - 20))] = char(Pick(256));
        for (const auto& [name, content] : {std::pair{"cut.", bytes.left(1 + Pick(int(bytes.size()) - 1))},
                                            {"bent.", bent}, {"huge.", ClaimingHugeSize(bytes)}, {"good.", bytes}}) {
            WriteBytes(dir.filePath(name + format), content);
            files.loads << dir.filePath(name + format);
        }
    }
    RandomPicture(200 + Pick(200), 100 + Pick(200)).save(dir.filePath("large.png"));
    WriteBytes(dir.filePath("empty.bmp"), {});
    WriteBytes(dir.filePath("text.jpg"), "no picture at all\n");
    for (const char* name : {"large.png", "empty.bmp", "text.jpg", "missing.gif", "saves"})
        files.loads << dir.filePath(name);
    for (const char* name : {"a", "b.bmp", "C.BMP", "d.png", "folder.bmp", "no/such/folder.bmp", ""})
        files.saves << (*name ? dir.filePath(QStringLiteral("saves/") + name) : QString());
}

QString Number(int low, int high) { return QString::number(low + Pick(high - low + 1)); }

QString Junk() {
    static const char kKeys[] = "0123456789012345.,-+eE &Hxa%";
    QString text;
    for (int n = 1 + Pick(6); n > 0; --n) text += QChar(kKeys[Pick(int(sizeof kKeys) - 1)]);
    return text;
}

// Sizes: mostly small, a few large, the edges of the range, junk; the same for the light fields.
QString TextFor(const QString& field) {
    const int roll = Pick(20);
    if (field == "txtWidth" || field == "txtHeight") {
        if (roll < 14) return roll < 11 ? Number(10, 80) : roll < 13 ? Number(81, 300) : Number(301, 1200);
        if (roll < 17) return Among<QString>({"9", "9.9", "10", "10.0", " 12 ", "5000", "5000.1", "5001", "1e1", "-2"});
    } else if (field.startsWith("txt")) {
        if (roll < 12) return roll < 10 ? Number(0, 1000) : Number(0, 99) + "." + Number(0, 99);
        if (roll < 16) return Among<QString>({"1000", "0", "1001", "-1", "1000.01", " 5 ", "1e3", "7.", ".5", "+3"});
    }
    return Junk();
}

QString Name(const QObject* object) {
    return object->objectName().isEmpty() ? object->metaObject()->className() : object->objectName();
}

// A point on the target, or on one of the main window's parts: the widget there and the point in it.
std::pair<QWidget*, QPoint> SomewhereOn(Monkey& m, QWidget* target, const char* part = nullptr) {
    if (part == nullptr && Chance(70))
        part = Among({"p", "p", "p", "p", "ToolBar1", "Frame1", "LightColor1", "Palette1", "txtFog", "txtIntensity"});
    const QWidget* area = target == m.window.get() && part != nullptr ? m.Child(part) : target;
    QPoint at = area->mapTo(target, QPoint(Pick(std::max(1, area->width())), Pick(std::max(1, area->height()))));
    if (!target->rect().contains(at)) at = QPoint(Pick(target->width()), Pick(target->height()));  // the part is off
    QWidget* widget = target->childAt(at) ? target->childAt(at) : target;
    return {widget, widget->mapFrom(target, at)};
}

Qt::MouseButton AButton() {
    return Among({Qt::LeftButton, Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
}

Qt::KeyboardModifiers SomeModifiers() {
    return Chance(85) ? Qt::NoModifier : Among({Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier});
}

QString Describe(QWidget* widget, QPoint at, Qt::MouseButton button) {
    return QStringLiteral("%1 at %2,%3 button %4").arg(Name(widget)).arg(at.x()).arg(at.y()).arg(int(button));
}

void Click(Monkey& m, QWidget* target) {
    const auto [widget, at] = SomewhereOn(m, target);
    const Qt::MouseButton button = AButton();
    m.detail = Describe(widget, at, button);
    m.rightPressed = button == Qt::RightButton;
    QTest::mouseClick(widget, button, SomeModifiers(), at);
}

// Press somewhere, above all on the palette and the drag strip, move around, let go; now and
// then with Space held on the canvas, which drags the picture instead.
void Drag(Monkey& m, QWidget* target) {
    const auto [widget, at] = SomewhereOn(m, target, Chance(70) ? Among({"Palette1", "Frame1"}) : nullptr);
    const Qt::MouseButton button = AButton();
    m.detail = Describe(widget, at, button) + " to";
    QWidget* canvas = m.Child("p");
    m.panned = target == m.window.get() && Chance(15);
    if (m.panned) QTest::keyPress(canvas, Qt::Key_Space);
    m.rightPressed = button == Qt::RightButton;
    QPointer<QWidget> pressed = widget;
    QTest::mousePress(widget, button, {}, at);
    QPoint to = at;
    for (int n = 1 + Pick(6); n > 0 && pressed; --n) {
        to = widget->mapFrom(target, QPoint(Pick(target->width() + 80) - 40, Pick(target->height() + 80) - 40));
        m.detail += QStringLiteral(" %1,%2").arg(to.x()).arg(to.y());
        QTest::mouseMove(widget, to);
    }
    if (pressed) QTest::mouseRelease(widget, button, {}, to);
    if (m.panned) QTest::keyRelease(canvas, Qt::Key_Space);
}

void Type(Monkey& m, QWidget* target) {
    QList<QWidget*> fields;
    for (QWidget* field : target->findChildren<QWidget*>())
        if (field->isVisible() && (qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field)))
            fields << field;
    if (fields.isEmpty()) return;
    QWidget* field = fields[Pick(int(fields.size()))];
    const QString name = field->objectName();
    if (Chance(60)) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all
    if (Chance(15)) {
        m.detail = name + " backspace";
        for (int n = 1 + Pick(3); n > 0; --n) QTest::keyClick(field, Qt::Key_Backspace);
        return;
    }
    const QString text = TextFor(name);
    m.detail = name + " \"" + text + "\"";
    QTest::keyClicks(field, text);
}

void Key(Monkey& m, QWidget* target) {
    QWidget* focus = target->focusWidget() ? target->focusWidget() : target;
    using namespace Qt;
    const Qt::Key key = Among({Key_Return, Key_Enter, Key_Escape, Key_Space, Key_Tab, Key_Backtab, Key_Left, Key_Right,
                               Key_Up, Key_Down, Key_PageUp, Key_PageDown, Key_Home, Key_End, Key_Backspace, Key_Delete,
                               Key_Z, Key_V, Key_C, Key_5});
    // C and V mostly with Ctrl: copying the picture and pasting one in are rare otherwise.
    const Qt::KeyboardModifiers modifiers = (key == Key_C || key == Key_V) && Chance(75) ? ControlModifier
                                                                                          : SomeModifiers();
    m.detail = QStringLiteral("%1 key %2").arg(Name(focus)).arg(int(key), 0, 16);
    QTest::keyClick(focus, key, modifiers);
}

// Every command, the hidden ones too: a click on the menu bar where it shows, a trigger where not.
void Command(Monkey& m, QWidget*) {
    QAction* action = m.Child<QAction>(Among({"mnuUndo", "mnuUndo", "mnuClear", "mnuLoad", "mnuLoad", "mnuSave",
                                              "mnuSave", "mnuRender", "mnuOptions", "mnuOptions", "mnuAbout",
                                              "mnuVerticalFill1", "mnuVerticalFill2", "mnuHorizontalFill1",
                                              "mnuHorizontalFill2", "mnuCancel1", "mnuExit"}));
    QMenuBar* bar = m.window->menuBar();
    const QRect place = bar->actionGeometry(action);
    m.detail = action->objectName();
    if (action->isVisible() && place.isValid() && bar->rect().contains(place.center()))
        QTest::mouseClick(bar, Qt::LeftButton, {}, place.center());
    else
        action->trigger();
}

void DropFile(Monkey& m, QWidget* target) {
    const QStringList& files = m.platform.randomFiles.loads;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files[Pick(int(files.size()))])});
    const QPoint at(Pick(target->width()), Pick(target->height()));
    m.detail = data.urls().front().fileName();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    m.dropped = true;
    QApplication::sendEvent(target, &drop);
}

void PushButton(Monkey& m, QWidget* target) {
    const QList<QAbstractButton*> buttons = target->findChildren<QAbstractButton*>();
    if (buttons.isEmpty()) return;
    QAbstractButton* button = buttons[Pick(int(buttons.size()))];
    m.detail = Name(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void CloseBox(Monkey&, QWidget* target) { target->close(); }

// The wheel over the view, plain, across, with Shift or with Ctrl (zoom about the pointer): whole
// notches of a mouse wheel, or a touchpad's small steps.
void Wheel(Monkey& m, QWidget*) {
    QWidget* viewport = m.Child<QAbstractScrollArea>("client")->viewport();
    const QPoint at(Pick(viewport->width() + 1), Pick(viewport->height() + 1));
    const int turn = Chance(30) ? Pick(81) - 40 : Among({-2, -1, 1, 2}) * 120;
    const bool across = Chance(20);
    const Qt::KeyboardModifiers modifiers = Among({Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                                   Qt::KeyboardModifiers(Qt::ControlModifier)});
    const QPoint angle = across ? QPoint(turn, 0) : QPoint(0, turn);
    m.detail = QStringLiteral("at %1,%2 by %3,%4 modifiers %5")
                   .arg(at.x()).arg(at.y()).arg(angle.x()).arg(angle.y()).arg(int(modifiers), 0, 16);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(viewport, &event);
}

// The view's own commands, and the scroll bars dragged anywhere.
void ViewCommand(Monkey& m, QWidget*) {
    auto* view = m.Child<QAbstractScrollArea>("client");
    if (Chance(40)) {
        QScrollBar* bar = Chance(50) ? view->horizontalScrollBar() : view->verticalScrollBar();
        const int to = bar->minimum() + Pick(bar->maximum() - bar->minimum() + 1);
        m.detail = QStringLiteral("%1 bar to %2").arg(bar->orientation() == Qt::Horizontal ? "across" : "down").arg(to);
        bar->setValue(to);
        return;
    }
    QAction* command = m.Child<QAction>(Among({"ZoomIn", "ZoomOut", "ActualPixels", "WholePicture"}));
    m.detail = command->objectName();
    command->trigger();
}

// One entry per kind of thing a person does, on the main window or on the modal dialog over it.
// A new kind is a function of the monkey and the widget it acts on, plus a line here; its weight
// is its share among the entries of its scope. The function sets `detail` for the trace; the
// checks after each action need nothing from it.
enum class Scope { Window, Dialog };
const struct Action {
    const char* name;
    Scope scope;
    int weight;
    void (*run)(Monkey&, QWidget* target);
} kActions[] = {
    {"click", Scope::Window, 40, Click},       {"drag", Scope::Window, 12, Drag},
    {"type", Scope::Window, 8, Type},          {"key", Scope::Window, 4, Key},
    {"command", Scope::Window, 14, Command},   {"drop", Scope::Window, 2, DropFile},
    {"wheel", Scope::Window, 6, Wheel},        {"view", Scope::Window, 5, ViewCommand},
    {"click", Scope::Dialog, 6, Click},        {"drag", Scope::Dialog, 4, Drag},
    {"type", Scope::Dialog, 14, Type},         {"key", Scope::Dialog, 4, Key},
    {"button", Scope::Dialog, 10, PushButton}, {"close", Scope::Dialog, 1, CloseBox},
};

const Action& AnAction(Scope scope) {
    int roll = 0;
    for (const Action& a : kActions) roll += a.scope == scope ? a.weight : 0;
    roll = Pick(roll);
    for (const Action& a : kActions)
        if (a.scope == scope && (roll -= a.weight) < 0) return a;
    return kActions[0];
}

bool ValidFieldText(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)? *$"));
    const double value = text.trimmed().toDouble();
    return number.match(text).hasMatch() && value >= 0.0 && value <= 1000.0;
}

// The same colours pixel by pixel (blue, green, red and a fourth byte that does not count).
bool SameColours(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    for (std::size_t i = 0; i < a.size() && a.size() == b.size(); ++i)
        if (i % 4 != 3 && a[i] != b[i]) return false;
    return a.size() == b.size();
}

// The picture's size in the view at a zoom step: a square of 2^step view pixels for each picture pixel, or one
// view pixel for each block of 2^-step picture pixels, the last block of a row or column perhaps not full.
QSize ShownSize(QSize picture, int step) {
    if (step >= 0) return picture * (1 << step);
    const int block = 1 << -step;
    return {(picture.width() + block - 1) / block, (picture.height() + block - 1) / block};
}

// With room to spare on the screen for the frame and the menu bar, the window shows all of the canvas.
bool FitsEasily(QSize canvas, const QScreen* screen) {
    return canvas.width() <= screen->availableGeometry().width() - 100 &&
           canvas.height() <= screen->availableGeometry().height() - 150;
}

#define CHECK(condition) \
    if (!(condition)) return "not " #condition

std::string Monkey::Violation(const Before& before) {
    const DrawingDocument& d = Doc();
    const std::int32_t w = d.PictureWidth, h = d.PictureHeight, count = d.LightsCount;
    // The lights: a clear or a load, one more light, an undo, or nothing at all.
    if (cleared) {
        CHECK(d.Lights.size() == 1 && count == 0);
        lights.assign(1, LightPoint{});
        undoPossible = false;
    } else if (count == before.count + 1) {
        CHECK(!panned);
        CHECK(d.Lights.size() == std::size_t(count) + 1);
        const LightPoint& added = d.Lights.back();
        CHECK(PackColor(added.Red, added.Green, added.Blue) == before.colour);
        CHECK(added.X >= 0 && added.X < float(w) && added.Y >= 0 && added.Y < float(h));
        lights.resize(std::size_t(count) + 1);
        lights.back() = added;
        ++tally["lights"];
        undoPossible = true;
    } else if (count == before.count - 1) {
        CHECK(ran.contains("mnuUndo") && before.undo);
        undoPossible = false;
    } else {
        CHECK(count == before.count);
    }
    CHECK(count >= 0 && d.Lights.size() == lights.size() && std::size_t(count) < d.Lights.size());
    for (std::size_t k = 0; k < lights.size(); ++k)
        CHECK(std::memcmp(&d.Lights[k], &lights[k], sizeof(LightPoint)) == 0);
    CHECK(Child<QAction>("mnuUndo")->isEnabled() == undoPossible);
    // The buffers and the canvas have the picture's size, and the canvas shows GMPic1.
    for (const LightBufferView& buffer : {d.LightBuffer(), d.UndoBuffer()})
        CHECK(buffer.UpperX() == w && buffer.UpperY() == h);
    CHECK(d.GMPic1.Width() == w && d.GMPic1.Height() == h && d.GMPic1.HoldsPixelsOf(w, h));
    CHECK(d.GMPic2.HoldsPixelsOf(w, h) && d.GMPic2.Width() == w && d.GMPicProgress.HoldsPixelsOf(w, 10));
    const auto* canvas = Child<CanvasBox>("p");
    CHECK(canvas->Image().size() == QSize(w, h) && canvas->size() == ShownSize({w, h}, canvas->ZoomStep()));
    // The window is fitted to the canvas at actual pixels; zooming changes only what shows.
    CHECK(canvas->ZoomStep() != 0 || !FitsEasily(canvas->size(), window->screen()) ||
          Child<CanvasView>("client")->VisibleCanvas() == canvas->geometry());
    const QImage shown = canvas->Image().convertToFormat(QImage::Format_RGB32);
    CHECK(SameColours({shown.constBits(), std::size_t(shown.sizeInBytes())}, d.GMPic1.Bytes()));
    // Every way out of a long operation gives the normal pointer back; the fields stay valid.
    CHECK(platform.busy.depth == 0);
    CHECK(ValidFieldText(window->IntensityText()) && ValidFieldText(window->FogText()));
    // Failures only come from files, the fill, a right click off the picture, or the colour dialog's injected one,
    // after which the swatch is black.
    const bool mayFail = dropped || ran.contains("mnuLoad") || ran.contains("mnuSave") || !ran.filter("Fill").isEmpty();
    for (const MessageRequest& box : platform.randomMessages.shown) {
        CHECK(box.title != "Error" || mayFail || box.text == kInjectedFailure ||
              (rightPressed && box.text == "Subscript out of range"));
        CHECK(box.text != kInjectedFailure || Child<PictureBox>("LightColor1")->BackColor() == 0);
    }
    return {};
}

// The drawing's light buffer, for the reference to work on.
ReferenceDrawing Monkey::Snapshot() const {
    ReferenceDrawing copy(Doc().PictureWidth, Doc().PictureHeight);
    for (int x = 1; x <= copy.width; ++x)
        for (int y = 1; y <= copy.height; ++y)
            for (int c = 1; c <= 3; ++c) copy.At(x, y, c) = Doc().LightBuffer().At(x, y, c);
    return copy;
}

// Starts again from the buffer at a clear or a load; otherwise notes the light added, the undo,
// or the rebuild from all lights that the action made. Unless a fill has drawn over it since,
// the picture must show the buffer by the exposure rule.
std::string Monkey::Journal(const Before& before) {
    const DrawingDocument& d = Doc();
    const bool autoExposure = AutoExposure();
    if (cleared) {
        steps.clear();
        base.reset();
        if (std::int64_t(d.PictureWidth) * d.PictureHeight <= kSmallCanvas) base = Snapshot();
        filled = false;
    } else if (d.LightsCount != before.count || ran.contains("mnuRender")) {
        const auto kind = d.LightsCount > before.count   ? Step::Click
                          : d.LightsCount < before.count ? Step::Undo
                                                         : Step::Rebuild;
        const LightPoint& last = d.Lights[std::size_t(d.LightsCount)];
        steps.push_back({kind, last, window->IntensityText(), window->FogText(), autoExposure});
        filled = false;
    } else if (autoExposure != before.autoExposure) {
        filled = false;  // the options dialog showed the buffer again in the new way
    }
    if (!ran.filter("Fill").isEmpty()) filled = true;
    if (!base || filled) return {};
    ReferenceDrawing drawn = Snapshot();
    drawn.Redraw(autoExposure ? drawn.FindMaximum() : 255.0f);
    CHECK(SameColours(d.GMPic1.Bytes(), drawn.pixels));
    return {};
}

// The light buffer replayed by the reference, bit for bit.
std::string Monkey::ReplayMismatch() {
    ReferenceDrawing reference = *base;
    for (const Step& s : steps) {
        const LightPoint& l = s.light;
        if (s.kind == Step::Click)
            reference.Click(l.X, l.Y, l.Red, l.Green, l.Blue, s.intensity, s.fog, s.autoExposure);
        if (s.kind == Step::Undo) reference.Undo(s.autoExposure);
        if (s.kind == Step::Rebuild) reference.Render(false, s.intensity, s.fog, s.autoExposure);
    }
    const std::string mismatches = reference.Mismatches(Doc().LightBuffer());
    return mismatches.empty() ? mismatches : mismatches + " after " + std::to_string(steps.size()) + " steps";
}

// A popup menu (the menu bar's overflow, a field's context menu) runs its own loop: a timer
// that fires in any loop answers it from there, with a click on one of its items or by closing it.
void Monkey::AnswerPopup() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    const QList<QAction*> items = menu->actions();
    if (items.isEmpty() || Chance(30)) return void(menu->close());
    QAction* item = items[Pick(int(items.size()))];
    detail += " menu " + item->text();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void Monkey::Walk() {
    rng.seed(std::uint64_t(seed));
    MakeFiles();
    window = std::make_unique<frmDrawing>(platform);
    for (QAction* action : window->findChildren<QAction*>())
        QObject::connect(action, &QAction::triggered, [this, action] { ran << action->objectName(); });
    QTimer popups;
    QObject::connect(&popups, &QTimer::timeout, [this] { AnswerPopup(); });
    popups.start(0);
    window->Form_Load();  // the About window stays open: the walk has to close it
    const DrawingDocument& d = Doc();
    for (int n = 1; n <= actions; ++n) {
        QWidget* modal = QApplication::activeModalWidget();
        const Action& action = AnAction(modal ? Scope::Dialog : Scope::Window);
        std::snprintf(gWhere, sizeof gWhere, "\nmonkey: seed %d, action %d (%s); replay with GLIMMERAGE_MONKEY_SEED=%d "
                      "GLIMMERAGE_MONKEY_ACTIONS=%d\n", seed, n, action.name, seed, n);
        const Before before{d.Lights.size(), d.LightsCount, Child<PictureBox>("LightColor1")->BackColor(),
                            Child<QAction>("mnuUndo")->isEnabled(), AutoExposure()};
        ran.clear();
        dropped = rightPressed = panned = false;
        detail.clear();
        platform.randomMessages.shown.clear();
        platform.randomMessages.given.clear();
        platform.randomFiles.loadChosen = false;
        platform.busy.events.clear();
        action.run(*this, modal ? modal : window.get());
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cleared = ran.contains("mnuClear") || platform.randomFiles.loadChosen || dropped ||
                  platform.randomMessages.Answered("Warning!", MessageAnswer::Yes) ||
                  (ran.contains("PastePicture") && !QGuiApplication::clipboard()->image().isNull());
        if (trace)
            qInfo("%d %s %s -> %s [%dx%d, %d lights]", n, action.name, qPrintable(detail), qPrintable(ran.join(' ')),
                  d.PictureWidth, d.PictureHeight, d.LightsCount);
        for (const QString& command : ran) ++tally[command];
        if (ran.contains("mnuExit")) {
            if (window->isVisible()) return void(ADD_FAILURE() << gWhere << "Exit left the window open");
            window->show();  // and the walk goes on in the same drawing
        }
        std::string failure = Violation(before);
        if (failure.empty()) failure = Journal(before);
        if ((n % 50 == 0 || n == actions) && base && failure.empty()) {
            failure = ReplayMismatch();
            ++tally["replays"];
            tally["replayed steps"] += int(steps.size());
        }
        done = n;
        if (base) ++tally["actions on a small canvas"];
        if (AutoExposure()) ++tally["actions with automatic exposure"];
        if (!failure.empty())
            return void(ADD_FAILURE() << gWhere << failure << "\nin: " << action.name << " " << detail.toStdString()
                                      << "; lights " << before.count << " -> " << d.LightsCount << ", canvas "
                                      << d.PictureWidth << " x " << d.PictureHeight);
    }
}

TEST(Monkey, RandomWalkKeepsTheDrawingWhole) {
    for (const int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS}) std::signal(signal, PrintWhereAndDie);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(PrintWhere);
#endif
    // Qt's warnings (decoders meeting damaged files, what the offscreen screen cannot do) only in a trace.
    static const bool trace = EnvNumber("GLIMMERAGE_MONKEY_TRACE", 0) != 0;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (trace || type == QtInfoMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    Monkey monkey;
    monkey.Walk();
    QStringList summary;
    for (const auto& [what, count] : monkey.tally) summary << QStringLiteral("%1 %2").arg(what).arg(count);
    std::printf("monkey: seed %d, %d actions: %s\n", monkey.seed, monkey.done, qPrintable(summary.join(", ")));
}

}  // namespace
