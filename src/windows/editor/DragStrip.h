#pragma once

#include <QFrame>
#include <QPoint>

#include <functional>

// A strip that drags another widget around. Moving the mouse over it with the left button
// alone held starts the drag; from then until the button is released, each move asks for the
// widget at the place the pointer leads it to, and whoever places it may keep it in bounds.
class DragStrip : public QFrame {
    Q_OBJECT

public:
    // `place` moves the dragged widget as near to a position in its parent as it may go.
    DragStrip(QWidget* dragged, QWidget* parent, std::function<void(QPoint)> place);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* dragged_;
    std::function<void(QPoint)> place_;
    bool dragging_ = false;
    QPoint anchor_;  // where the drag took hold, in the strip's coordinates
};
