#pragma once

#include "editor/frmDrawing.h"
#include "platform/scripted/ScriptedPlatform.h"

#include <QEvent>
#include <QImage>
#include <QPoint>

#include <memory>

class QWidget;

// Sends one mouse event to a widget, with the button that changed and the buttons held
// after it, at a position in the widget's own coordinates.
void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held);

// A main window on the scripted platform, started as the program starts it.
struct StartedWindow {
    ScriptedPlatform platform;
    std::unique_ptr<frmDrawing> window;

    StartedWindow();  // does not start: tests script the platform first
    frmDrawing::StartupOutcome Start();

    template <typename T>
    T* Child(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
};

// The "Error" box as the scripted message boxes record it.
MessageRequest ErrorBox(const QString& description);
