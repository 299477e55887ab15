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
void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held);

// A press and a release of one button at the same point.
void ClickWith(QWidget* widget, QPointF at, Qt::MouseButton button = Qt::LeftButton);

// The stored exposure setting, as the options would write it.
void SetAutoExposure(ScriptedPlatform& platform, const QString& value);

// A main window on the scripted platform, started as the program starts it.
struct StartedWindow {
    ScriptedPlatform platform;
    std::unique_ptr<frmDrawing> window;

    StartedWindow();  // does not start: tests script the platform first
    ~StartedWindow();
    frmDrawing::StartupOutcome Start();               // and closes the About window
    frmDrawing::StartupOutcome StartKeepingAbout();

    template <typename T>
    T* Child(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
};

// The "Error" box as the scripted message boxes record it.
MessageRequest ErrorBox(const QString& description);
