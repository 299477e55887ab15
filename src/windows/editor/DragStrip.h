#pragma once

#include <QFrame>
#include <QPoint>

// A strip that drags another widget around inside that widget's parent. Moving the mouse
// over it with the left button alone held starts the drag; the widget then follows the
// mouse, kept inside its parent, until the button is released.
class DragStrip : public QFrame {
    Q_OBJECT

public:
    DragStrip(QWidget* dragged, QWidget* parent);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* dragged_;
    bool dragging_ = false;
    QPoint anchor_;  // where the drag took hold, in the strip's coordinates
};
