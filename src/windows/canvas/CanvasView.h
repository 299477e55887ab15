#pragma once

#include <QScrollArea>

#include <optional>

class CanvasBox;
class ZoomNote;

// The window's inside: the canvas at the top left of a dark background, with scroll bars on
// the sides where it does not fit, and the floating tool panel over the part of the canvas
// that shows. The wheel scrolls (across with Shift), Ctrl+wheel zooms about the pointer.
// Scrolling and zooming change only what shows, never the drawing. With Space held down on the
// canvas, the pointer is a hand that drags the picture instead of placing lights.
class CanvasView : public QScrollArea {
    Q_OBJECT

public:
    // The view shows `canvas` from the start and for good.
    CanvasView(CanvasBox* canvas, QWidget* parent);

    // The panel floats over the canvas at a place of its own in the view, its position now.
    void SetPanel(QWidget* panel);
    // Gives the panel a new place of its own in the view.
    void PlacePanel(QPoint place);

    // The part of the viewport the canvas covers.
    QRect VisibleCanvas() const;

    // Zooms to a step, keeping the picture point under `anchor` (viewport pixels) in place.
    void ZoomTo(int step, QPoint anchor);
    void ZoomBy(int steps);
    // The largest zoom step at which the whole picture shows without scrolling.
    void ZoomToFit();
    void ResetView();

    // A canvas of a single pixel still gets a window of a single row.
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepPanelInside();
    bool SpaceKey(QKeyEvent* event, bool down);
    bool Pan(QEvent* event);
    void EndPanning();
    void ShowWhatAPressDoes();

    CanvasBox* canvas_;
    ZoomNote* zoomNote_;
    QWidget* panel_ = nullptr;
    QPoint panelPlace_;
    int zoomTurn_ = 0;  // of the wheel with Ctrl, short of a whole notch
    bool spaceHeld_ = false;
    // While the picture is dragged: where the press was, on the screen, and the scroll then.
    std::optional<QPoint> grabbedAt_;
    QPoint scrollAtGrab_;
};
