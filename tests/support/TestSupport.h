#pragma once

#include "windows/editor/frmDrawing.h"
#include "windows/picture/PictureBox.h"
#include "core/scripted/ScriptedPlatform.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

using Boxes = std::vector<MessageRequest>;
using Events = std::vector<std::string>;
inline const Events kBusyOnce{"busy", "default"};  // the busy pointer, then the normal one back
inline const MessageRequest kOverwrite{"Confirm overwriting?", "File Already Exists", MessageIcon::Question,
                                       MessageButtons::YesNo};

inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}

// One mouse event at a point in the widget's coordinates: the button that changed, those held after it.
void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held);
void ClickWith(QWidget* widget, QPointF at, Qt::MouseButton button = Qt::LeftButton);  // press and release
void SetAutoExposure(ScriptedPlatform& platform, const QString& value);  // as the options store it
QDialog* VisibleTopLevel(const char* name);
MessageRequest ErrorBox(const QString& description);  // the "Error" box as the scripted boxes record it
QByteArray Md5(const QString& path);                   // of the file's bytes; empty when it cannot be read
std::pair<int, QString> FailureOf(const std::function<void()>& operation);  // number and text; {0, ""} for none

QImage FilledImage(QSize size, const QColor& colour);
// Every element of a light buffer, index 0 of x and y included, channel by channel and row by row.
std::vector<float> Values(const LightBufferView& buffer);
// Up to 256 wide every pixel of a distinct picture has a colour of its own: a misplaced row or column shows.
QImage DistinctPicture(int width, int height);
// A GIF of an indexed picture (Qt writes none): codes one bit wider than the colour indices, with a clear code
// before the decoder's table would need wider ones, so valid, only not compressed.
QByteArray Gif(const QImage& indexed);
void WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);  // empty when it cannot be read
// The picture file with a header claiming a huge size: BMP 100000 x 100000, PNG 60000 x 60000 (its checksum
// made right), GIF 65535 x 65535, JPEG 65500 x 65500.
QByteArray ClaimingHugeSize(QByteArray file);

// A main window on the scripted platform. Not started, so that tests can script the platform first.
struct StartedWindow {
    ScriptedPlatform platform;
    std::unique_ptr<frmDrawing> window;

    StartedWindow();
    ~StartedWindow();
    frmDrawing::StartupOutcome StartKeepingAbout() { return window->Form_Load(); }
    frmDrawing::StartupOutcome Start();  // and the user closes the About window
    template <typename T = QWidget>
    T* Child(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    PictureBox* Canvas() const { return Child<PictureBox>("p"); }
    QRgb Shown(int x, int y) const { return Canvas()->Image().pixel(x, y) & 0xFFFFFF; }
    QAction* Action(const char* name) const { return Child<QAction>(name); }
    const DrawingDocument& Doc() const { return window->Document(); }
    // The window's inside for a canvas that fits the screen: the canvas, widened only as far
    // as the menu bar needs to keep its items on one line.
    QSize ClientFor(QSize canvas) const {
        return {std::max(canvas.width(), window->menuBar()->sizeHint().width()), canvas.height()};
    }
    void Resize(QSize canvas) {  // a blank drawing of that size
        window->ChangePictureSize(canvas.width(), canvas.height());
        window->ClearAll();
        QApplication::processEvents();
    }
    // Runs the menu command with the records emptied first: `file` is picked in the file chooser (an empty
    // name cancels it) and the questions that follow are answered in this order.
    void Run(const char* command, const QString& file = {}, std::deque<MessageAnswer> answers = {});
};

struct Running : StartedWindow {
    Running() { Start(); }
};

// The drawing is `expected`, at the canvas's size, without lights or undo: the canvas, the displayed picture and
// the light buffer (pixel x, y at x + 1, y + 1) all hold it.
void ExpectDrawing(const StartedWindow& s, const QImage& expected);
// A blank drawing of this size: the above in black, and every light buffer zero and of this size.
void ExpectFreshDocument(const StartedWindow& s, QSize size);
