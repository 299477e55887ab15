#pragma once

#include <QLabel>
#include <QTimer>

// The scale of the view, shown for a moment in the top right corner of its parent after the
// user zooms: nothing else on the screen tells how large the picture is drawn. Presses go
// through it to whatever lies below.
class ZoomNote : public QLabel {
    Q_OBJECT

public:
    explicit ZoomNote(QWidget* parent);

    // Shows the zoom (2 for twice the picture's size) as a percentage.
    void Show(double zoom);

private:
    QTimer hideLater_;
};
