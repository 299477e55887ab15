#include "windows/canvas/ZoomNote.h"

namespace {

constexpr int kShownMilliseconds = 1200;
constexpr int kMargin = 8;

}  // namespace

ZoomNote::ZoomNote(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("zoomNote"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 170); color: white; padding: 3px 8px;"));
    hide();
    hideLater_.setSingleShot(true);
    hideLater_.setInterval(kShownMilliseconds);
    connect(&hideLater_, &QTimer::timeout, this, &QWidget::hide);
}

void ZoomNote::Show(double zoom) {
    setText(QString::number(zoom * 100.0) + u'%');
    adjustSize();
    move(parentWidget()->width() - width() - kMargin, kMargin);
    show();
    raise();
    hideLater_.start();
}
