#pragma once

#include "core/document/DrawingDocument.h"
#include "core/picture/ImageSurface.h"
#include "core/scripted/ScriptedPlatform.h"
#include "windows/editor/frmDrawing.h"

#include <QString>

#include <memory>

// A drawing of a given size with the canvas it is shown on, free of any window: what the
// timed operations work on.
struct Scene {
    Scene(int width, int height);
    // One click as the main window renders it: the newest light added with the undo copy,
    // the progress strip over the old picture (unless left out), the redraw and the copy
    // onto the canvas.
    void Click(bool autoExposure, bool withStrip = true);
    // The time the clicks spent in the progress strip's reports (checking the clock, painting and
    // printing the strip), on the thread that does them.
    double stripSeconds = 0.0;
    // An undo as the main window runs it: the undo copy brought back, the greatest value
    // looked for, and the picture redrawn against 255 onto the canvas.
    void Undo();
    // A clear: new blank buffers and pictures of the same size.
    void Clear();
    // The memory floors: each a plain pass over exactly the bytes the operation must move, on
    // the same threads in the same chunks.
    // A click reads the light buffer and writes the undo and light buffers and the pixels.
    void ClickFloorPass();
    // An undo reads the light buffer it brings back and writes the pixels.
    void UndoFloorPass();
    // A re-render writes the light buffer.
    void RenderFloorPass();
    // Looking for the greatest value reads the light buffer.
    float FindMaximumFloorPass();
    // Clearing writes zeros into both light buffers and both pictures.
    void ClearFloorPass();
    // The most threads the engine's passes use.
    int Threads();

    ScriptedMessageBoxes messages;
    DrawingDocument doc;
    ImageSurface canvas;
};

// One big drawing at a time: the old one goes before the next is made.
Scene& SceneOf(int width, int height);

// The real main window on scripted services, shown offscreen with a drawing of the given
// size, fitted to the screen, at a zoom step, and its About window closed.
struct WindowScene {
    WindowScene(int width, int height, int zoomStep);
    ~WindowScene();
    // A left click in the middle of the canvas that shows, through Qt's event delivery, until
    // the view has painted.
    void Click();
    // Scrolls down by one screenful, or back to the top at the end, until the view has painted.
    void ScrollScreenful();

    ScriptedPlatform platform;
    std::unique_ptr<frmDrawing> window;
    int zoomStep;
};

// One window at a time, made for the size and zoom asked and clicked once before it is handed
// out: the first click after a new drawing also pays for the system handing out the memory of
// the canvas's second image.
WindowScene& WindowSceneOf(int width, int height, int zoomStep);

// Lets go of the scenes above while the application still exists.
void ReleaseScenes();

// A picture of the given size in the given format, made once in a temporary folder.
QString GeneratedPicture(const char* format, int width, int height);
// The 5000 x 5000 one.
QString BigPicture(const char* format);
QString TemporaryPath(const QString& name);
