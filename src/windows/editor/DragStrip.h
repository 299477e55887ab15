#pragma once

#include <QFrame>
#include <QPoint>
#include <QRect>

#include <functional>

// A strip that drags another widget around. Moving the mouse over it with the left button
// alone held starts the drag; the widget then follows the mouse, kept inside an area of its
// parent, until the button is released.
class DragStrip : public QFrame {
    Q_OBJECT

public:
    // `bounds` gives the area, in the dragged widget's parent, that the widget stays inside.
    DragStrip(QWidget* dragged, QWidget* parent, std::function<QRect()> bounds);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* dragged_;
    std::function<QRect()> bounds_;
    bool dragging_ = false;
    QPoint anchor_;  // where the drag took hold, in the strip's coordinates
};
