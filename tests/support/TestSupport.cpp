#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

StartedWindow::StartedWindow() : window(std::make_unique<frmDrawing>(platform)) {}

frmDrawing::StartupOutcome StartedWindow::Start() { return window->Form_Load(); }

MessageRequest ErrorBox(const QString& description) {
    return {description, QStringLiteral("Error"), MessageIcon::Critical, MessageButtons::Ok};
}
