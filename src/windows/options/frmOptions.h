#pragma once

#include "windows/picture/GMPicture.h"

#include <QDialog>

class frmDrawing;
class Platform;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// "Options": the picture size, the fog and intensity of new lights with their falloff
// graph, and automatic exposure. It reads its starting values from the main window and
// writes the results back on OK; Cancel, Escape and the close box apply nothing.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    frmOptions(frmDrawing& drawing, Platform& platform);
    ~frmOptions() override;

    // Fills the controls from the main window and the stored setting. Any message it has
    // to give comes before the dialog shows.
    void Form_Load();
    void UpdateGraph();

protected:
    void reject() override;

private:
    void BuildControls();
    void cmdOK_Click();
    void cmdCancel_Click();
    bool SizeIsValid() const;
    int StoredExposureState() const;

    frmDrawing& drawing_;
    Platform& platform_;
    PixelBuffer graphPixels_;
    GMPicture GMPicGraph;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QCheckBox* chkExposure = nullptr;
    PictureBox* picGraph = nullptr;
    QLabel* lbl[4] = {};
    QScrollBar* scrFog = nullptr;
    QLabel* lblFog = nullptr;
    QScrollBar* scrIntensity = nullptr;
    QLabel* lblIntensity = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtHeight = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
