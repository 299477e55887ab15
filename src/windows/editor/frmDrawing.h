#pragma once

#include "core/document/DrawingAhead.h"
#include "core/document/DrawingDocument.h"
#include "windows/picture/GMPicture.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

class CanvasBox;
class CanvasView;
class DragStrip;
class Platform;
class PictureBox;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QScreen;

// The main window: it owns the drawing, shows it on the canvas `p` with the floating tool
// panel over it, and reaches every command from its menu bar. Its operations are defined
// by concern in several files: start-up here in editor/, clearing and resizing in
// history/, and so on.
class frmDrawing : public QMainWindow {
    Q_OBJECT

public:
    enum class StartupOutcome { Running, EndProgram };

    explicit frmDrawing(Platform& platform, QWidget* parent = nullptr);
    ~frmDrawing() override;

    // Start-up: sets up the empty 640 x 480 drawing, checks the display's colour depth and
    // shows the window. EndProgram when the user declined to fix the colour depth.
    StartupOutcome Form_Load();

    // A picture named when the program starts opens as one chosen with "Load..." would, once
    // the About window that greets the user has been closed.
    void LoadPictureAtStart(const QString& path);

    // The drawing's state that other windows read and write.
    float sIntensity() const { return doc_.sIntensity; }
    void SetsIntensity(float value) { doc_.sIntensity = value; }
    float sFog() const { return doc_.sFog; }
    void SetsFog(float value) { doc_.sFog = value; }
    std::int32_t PictureWidth() const { return doc_.PictureWidth; }
    void SetPictureWidth(std::int32_t value) { doc_.PictureWidth = value; }
    std::int32_t PictureHeight() const { return doc_.PictureHeight; }
    void SetPictureHeight(std::int32_t value) { doc_.PictureHeight = value; }

    // The texts of the intensity and fog fields; setting one checks it like typing does.
    QString FogText() const;
    void SetFogText(const QString& text);
    QString IntensityText() const;
    void SetIntensityText(const QString& text);

    // The whole drawing, for reading.
    const DrawingDocument& Document() const { return doc_; }

    void CreateUndo();
    void Undo();
    void DisableUndo();
    void AddPoint(const float& X, const float& Y, const std::int32_t& Red, const std::int32_t& Blue,
                  const std::int32_t& Green);
    void Render(bool bJustAddLastPoint);
    void RedrawGMPic1(float sMax);
    float FindMaximum();
    void ClearAll();
    void ResizeMe();
    void Fill(float X, float& Y, std::int32_t& lDirection);
    // Loads the picture the gradient fill takes its colours from.
    void SetFillSource(const QImage& picture);
    void ChangePictureSize(std::int32_t lWidth, std::int32_t lHeigth);
    // A new size with a new blank drawing. When the memory for it cannot be had, the drawing
    // goes back to a blank one of the old size and the failure is passed on.
    void AdoptPictureSize(std::int32_t width, std::int32_t height);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildCanvas();
    void BuildToolPanel();
    bool PassesDisplayColorDepthCheck();

    void ConnectCommands();
    void BuildShortcuts();
    void WatchScreen(QScreen* screen);
    void RenderTakingUndo(bool bJustAddLastPoint, bool takeUndo);
    // A pixel buffer of the drawing, its failures reported as they happen.
    GMPicture Reported(PixelBuffer& pixels);

    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuClear_Click();
    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuOptions_Click();
    void mnuAbout_Click();
    void FillInDirection(std::int32_t direction);
    void LoadPictureIntoDocument(const QString& path);
    // The picture shown on the canvas becomes the drawing. Showing it may give back the new
    // drawing already made from the picture; the canvas then no longer shows the picture.
    void ReplaceDrawing(const std::function<std::unique_ptr<DrawingAhead>()>& showPictureOnCanvas);
    void TakeDrawingMadeAhead(DrawingAhead& ahead);
    void PastePicture();
    std::unique_ptr<DrawingAhead> ShowPictureFileOnCanvas(const QString& path);
    // Whether the drawing took the picture's size; the canvas then no longer shows it.
    bool ShowOnCanvasAskingForItsSize(const QImage& picture);
    void mnuRender_Click();
    void p_MouseDown(int button, int shift, float X, float Y);
    void LightColor1_Click();
    void Palette1_MouseMove(int button, int shift, float X, float Y);
    void Palette1_MouseUp(int button, int shift, float X, float Y);
    void PickPaletteColor(int button, float X, float Y);
    void txtFog_Change();
    void txtIntensity_Change();
    void ValidateLightField(QLineEdit* field);

    Platform& platform_;
    DrawingDocument doc_;
    QPointer<QWidget> about_;  // the About window while it is open

    CanvasView* view_ = nullptr;
    CanvasBox* p = nullptr;
    PictureBox* ToolBar1 = nullptr;
    DragStrip* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    PictureBox* LightColor1 = nullptr;
    PictureBox* Palette1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtFog = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtIntensity = nullptr;

    bool watchingScreen_ = false;
    QMetaObject::Connection screenGeometryWatch_;

    QAction* mnuExit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuLoad = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuRender = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuAbout = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuVerticalFill1 = nullptr;
    QAction* mnuVerticalFill2 = nullptr;
    QAction* mnuHorizontalFill1 = nullptr;
    QAction* mnuHorizontalFill2 = nullptr;
    QAction* mnuNothing2 = nullptr;
    QAction* mnuCancel1 = nullptr;
};
