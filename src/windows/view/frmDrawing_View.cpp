// How the window shows the canvas: its size on the screen, the view's zoom, and the keys
// that reach the commands.

#include "windows/editor/frmDrawing.h"

#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

// What the client area must hold besides the canvas when the canvas does not fit.
struct ScrollBars {
    bool across = false;
    bool down = false;
};

// A bar on one side takes room from the other, which may then need its own bar too.
ScrollBars NeededScrollBars(QSize canvas, QSize room, int barExtent) {
    ScrollBars bars;
    bars.across = canvas.width() > room.width();
    bars.down = canvas.height() + (bars.across ? barExtent : 0) > room.height();
    if (bars.down && !bars.across) bars.across = canvas.width() + barExtent > room.width();
    return bars;
}

}  // namespace

// Where the canvas fits the screen, the window's inside is exactly the canvas, the frame and
// the position kept. Where it does not, the window takes the most the screen's free area
// allows and the canvas scrolls. Either way the menu bar keeps all its items on one line.
void frmDrawing::ResizeMe() {
    const QSize canvas = p->size();
    QMenuBar* bar = menuBar();
    const bool barInWindow = !bar->isNativeMenuBar();
    const int oneLineWidth = barInWindow ? bar->sizeHint().width() : 0;
    const int clientWidth = std::max(canvas.width(), oneLineWidth);
    const int menuHeight = barInWindow ? std::max(bar->heightForWidth(clientWidth), bar->sizeHint().height()) : 0;

    const QRect available = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize room = available.size() - frame - QSize(0, menuHeight);
    if (clientWidth <= room.width() && canvas.height() <= room.height()) {
        resize(clientWidth, menuHeight + canvas.height());
        return;
    }
    const int barExtent = view_->verticalScrollBar()->sizeHint().width();
    const ScrollBars bars = NeededScrollBars(canvas, room, barExtent);
    const QSize client(std::max(oneLineWidth, std::min(canvas.width() + (bars.down ? barExtent : 0), room.width())),
                       std::min(canvas.height() + (bars.across ? barExtent : 0), room.height()));
    resize(client.width(), menuHeight + client.height());
    // All of the window on the screen's free area, as near as it can be to where it was.
    const QSize outer = client + frame + QSize(0, menuHeight);
    move(std::clamp(x(), available.left(), std::max(available.left(), available.right() + 1 - outer.width())),
         std::clamp(y(), available.top(), std::max(available.top(), available.bottom() + 1 - outer.height())));
}

void frmDrawing::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (QWindow* window = windowHandle(); window != nullptr && !watchingScreen_) {
        watchingScreen_ = true;
        connect(window, &QWindow::screenChanged, this, &frmDrawing::WatchScreen);
        WatchScreen(window->screen());
    }
}

// The screen decides how much of a big canvas can show: a new screen, or a change of the
// free area of this one, fits the window again.
void frmDrawing::WatchScreen(QScreen* screen) {
    disconnect(screenGeometryWatch_);
    if (screen == nullptr) return;
    screenGeometryWatch_ = connect(screen, &QScreen::availableGeometryChanged, this, [this] { ResizeMe(); });
    // The frame's size is known only once the window is on the screen.
    QTimer::singleShot(0, this, [this] { ResizeMe(); });
}

void frmDrawing::BuildShortcuts() {
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuAbout->setShortcut(QKeySequence(Qt::Key_F1));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Commands that only keys reach: the menu bar keeps its own items.
    const auto addKeyCommand = [this](const char* name, const QList<QKeySequence>& keys, auto command) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        addAction(action);
        connect(action, &QAction::triggered, this, command);
    };
    const auto ctrl = [](int key) { return QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key))); };
    const auto ctrlKeypad = [](int key) {
        return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key(key)));
    };
    addKeyCommand("ZoomIn", {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal), ctrlKeypad(Qt::Key_Plus)},
                   [this] { view_->ZoomBy(1); });
    addKeyCommand("ZoomOut", {ctrl(Qt::Key_Minus), ctrlKeypad(Qt::Key_Minus)}, [this] { view_->ZoomBy(-1); });
    addKeyCommand("ActualPixels", {ctrl(Qt::Key_0), ctrlKeypad(Qt::Key_0)},
                   [this] { view_->ZoomTo(0, view_->viewport()->rect().center()); });
    addKeyCommand("WholePicture", {ctrl(Qt::Key_9), ctrlKeypad(Qt::Key_9)}, [this] { view_->ZoomToFit(); });
    // The picture as it is, at its own size, to paste into other programs; a text field with
    // the focus copies its own text instead.
    addKeyCommand("CopyPicture", {QKeySequence::Copy}, [this] { QGuiApplication::clipboard()->setImage(p->Image()); });
    // A picture from another program becomes the drawing, as a loaded one would.
    addKeyCommand("PastePicture", {QKeySequence::Paste}, [this] { PastePicture(); });
}
