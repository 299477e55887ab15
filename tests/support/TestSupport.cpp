#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

StartedWindow::StartedWindow() : window(std::make_unique<frmDrawing>(platform)) {}

// Windows the test left open would block the next test's input: they go with the window.
StartedWindow::~StartedWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != window.get() && widget->parentWidget() == nullptr && widget->isVisible()) widget->close();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmDrawing::StartupOutcome StartedWindow::Start() {
    const frmDrawing::StartupOutcome outcome = StartKeepingAbout();
    // The user reads the About window and closes it; most tests start from there.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmAbout")) widget->close();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return outcome;
}

frmDrawing::StartupOutcome StartedWindow::StartKeepingAbout() { return window->Form_Load(); }

MessageRequest ErrorBox(const QString& description) {
    return {description, QStringLiteral("Error"), MessageIcon::Critical, MessageButtons::Ok};
}

void ClickWith(QWidget* widget, QPointF at, Qt::MouseButton button) {
    SendMouse(widget, QEvent::MouseButtonPress, at, button, button);
    SendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void SetAutoExposure(ScriptedPlatform& platform, const QString& value) {
    platform.settings.values[{QStringLiteral("Glimmerage"), QStringLiteral("Settings"),
                              QStringLiteral("AutoAdjustExposure")}] = value;
}
