#include "windows/editor/frmDrawing.h"

#include "core/common/ColorValue.h"
#include "windows/common/FittingFont.h"
#include "windows/editor/DragStrip.h"
#include "windows/editor/PalettePicture.h"
#include "windows/picture/PictureBox.h"
#include "windows/canvas/CanvasBox.h"
#include "windows/canvas/CanvasView.h"
#include "core/platform/Platform.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr ColorValue kPanelColor = PackColor(64, 64, 64);
constexpr ColorValue kStripColor = PackColor(96, 96, 96);
constexpr ColorValue kWhite = PackColor(255, 255, 255);

// A named command in the menu bar or in one of its menus.
template <typename Menu>
QAction* AddMenuAction(Menu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void SetBackground(QWidget* widget, ColorValue color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

frmDrawing::frmDrawing(Platform& platform, QWidget* parent)
    : QMainWindow(parent), platform_(platform) {
    setWindowTitle(QStringLiteral("Glimmerage"));
    BuildMenus();
    BuildCanvas();
    BuildToolPanel();
    ConnectCommands();
    BuildShortcuts();
    // A picture file dropped anywhere on the window opens like one chosen with "Load...".
    setAcceptDrops(true);
}

frmDrawing::~frmDrawing() = default;

void frmDrawing::BuildMenus() {
    QMenuBar* bar = menuBar();
    mnuExit = AddMenuAction(bar, "mnuExit", QStringLiteral("Exit"));
    mnuUndo = AddMenuAction(bar, "mnuUndo", QStringLiteral("Undo"));
    mnuUndo->setEnabled(false);
    mnuClear = AddMenuAction(bar, "mnuClear", QStringLiteral("Clear"));
    mnuLoad = AddMenuAction(bar, "mnuLoad", QStringLiteral("Load..."));
    mnuSave = AddMenuAction(bar, "mnuSave", QStringLiteral("Save..."));
    mnuRender = AddMenuAction(bar, "mnuRender", QStringLiteral("Render"));
    mnuRender->setVisible(false);
    mnuOptions = AddMenuAction(bar, "mnuOptions", QStringLiteral("Options..."));
    mnuAbout = AddMenuAction(bar, "mnuAbout", QStringLiteral("About / Help..."));

    // The gradient fill's direction menu lives in the menu bar but is never shown there.
    mnuPopup = bar->addMenu(QStringLiteral("ChooseDirection"));
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup->menuAction()->setVisible(false);
    mnuVerticalFill1 = AddMenuAction(mnuPopup, "mnuVerticalFill1", QStringLiteral("Vertical Fill (top to bottom)"));
    mnuVerticalFill2 = AddMenuAction(mnuPopup, "mnuVerticalFill2", QStringLiteral("Vertical Fill (bottom to top)"));
    mnuHorizontalFill1 =
        AddMenuAction(mnuPopup, "mnuHorizontalFill1", QStringLiteral("Horizontal Fill (left to right)"));
    mnuHorizontalFill2 =
        AddMenuAction(mnuPopup, "mnuHorizontalFill2", QStringLiteral("Horizontal Fill (right to left)"));
    mnuNothing2 = mnuPopup->addSeparator();
    mnuNothing2->setObjectName(QStringLiteral("mnuNothing2"));
    mnuCancel1 = AddMenuAction(mnuPopup, "mnuCancel1", QStringLiteral("Cancel"));
}

void frmDrawing::ConnectCommands() {
    connect(mnuExit, &QAction::triggered, this, &frmDrawing::mnuExit_Click);
    connect(mnuUndo, &QAction::triggered, this, &frmDrawing::mnuUndo_Click);
    connect(mnuClear, &QAction::triggered, this, &frmDrawing::mnuClear_Click);
    connect(mnuRender, &QAction::triggered, this, &frmDrawing::mnuRender_Click);
    connect(mnuLoad, &QAction::triggered, this, &frmDrawing::mnuLoad_Click);
    connect(mnuSave, &QAction::triggered, this, &frmDrawing::mnuSave_Click);
    connect(mnuOptions, &QAction::triggered, this, &frmDrawing::mnuOptions_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmDrawing::mnuAbout_Click);
    const QAction* fillCommands[] = {mnuVerticalFill1, mnuVerticalFill2, mnuHorizontalFill1, mnuHorizontalFill2};
    for (std::int32_t direction = 1; direction <= 4; ++direction) {
        connect(fillCommands[direction - 1], &QAction::triggered, this, [this, direction] { FillInDirection(direction); });
    }
    connect(p, &PictureBox::MouseDown, this, &frmDrawing::p_MouseDown);
    connect(LightColor1, &PictureBox::Clicked, this, &frmDrawing::LightColor1_Click);
    connect(Palette1, &PictureBox::MouseMove, this, &frmDrawing::Palette1_MouseMove);
    connect(Palette1, &PictureBox::MouseUp, this, &frmDrawing::Palette1_MouseUp);
    connect(txtFog, &QLineEdit::textChanged, this, &frmDrawing::txtFog_Change);
    connect(txtIntensity, &QLineEdit::textChanged, this, &frmDrawing::txtIntensity_Change);
}

void frmDrawing::BuildCanvas() {
    p = new CanvasBox;
    p->setObjectName(QStringLiteral("p"));
    p->SetBackColor(PackColor(0, 0, 0));
    p->MoveBox(0, 0, 0, 0);
    p->setFocusPolicy(Qt::StrongFocus);

    view_ = new CanvasView(p, this);
    view_->setObjectName(QStringLiteral("client"));
    setCentralWidget(view_);
}

void frmDrawing::BuildToolPanel() {
    ToolBar1 = new PictureBox;
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->SetBackColor(kPanelColor);
    ToolBar1->MoveBox(16, 16, 68, 259);
    view_->SetPanel(ToolBar1);
    ToolBar1->setFocusPolicy(Qt::StrongFocus);
    QPalette panelText = ToolBar1->palette();
    panelText.setColor(QPalette::WindowText, Qt::white);
    ToolBar1->setPalette(panelText);

    Frame1 = new DragStrip(ToolBar1, ToolBar1, [this](QPoint to) { view_->PlacePanel(to); });
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(0, 0, 73, 9);
    SetBackground(Frame1, kStripColor);

    const auto makeLabel = [this](const char* name, const QString& caption, QRect geometry) {
        auto* label = new QLabel(caption, ToolBar1);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        return label;
    };
    const auto makeField = [this](const char* name, QRect geometry) {
        auto* field = new QLineEdit(QStringLiteral("10"), ToolBar1);
        field->setObjectName(QLatin1String(name));
        field->setGeometry(geometry);
        field->setTextMargins(0, 0, 0, 0);
        field->setAcceptDrops(false);
        return field;
    };

    Label1 = makeLabel("Label1", QStringLiteral("Light Color:"), QRect(8, 16, 53, 13));

    LightColor1 = new PictureBox(ToolBar1);
    LightColor1->setObjectName(QStringLiteral("LightColor1"));
    LightColor1->SetBackColor(kWhite);
    LightColor1->MoveBox(8, 32, 52, 17);
    LightColor1->setFocusPolicy(Qt::StrongFocus);

    Palette1 = new PictureBox(ToolBar1);
    Palette1->setObjectName(QStringLiteral("Palette1"));
    Palette1->MoveBox(8, 56, kPaletteWidth, kPaletteHeight);
    Palette1->SetPicture(MakePalettePicture());
    Palette1->setFocusPolicy(Qt::StrongFocus);

    Label3 = makeLabel("Label3", QStringLiteral("Fog:"), QRect(8, 176, 21, 13));
    txtFog = makeField("txtFog", QRect(8, 192, 52, 17));
    Label2 = makeLabel("Label2", QStringLiteral("Intensity:"), QRect(8, 216, 42, 13));
    txtIntensity = makeField("txtIntensity", QRect(8, 232, 52, 17));

    std::vector<CaptionRoom> captions;
    for (const QLabel* label : {Label1, Label2, Label3}) captions.push_back({label->text(), label->width(), label->height()});
    // The largest font that fits every caption into its label, so nothing is cut off
    // whatever the system's fonts.
    ToolBar1->setFont(FittingFont(ToolBar1->font(), captions));

    // Keyboard order: canvas, panel, palette, swatch, intensity, fog. The labels and the
    // drag strip are in the chain too but never take the focus.
    setTabOrder(p, ToolBar1);
    setTabOrder(ToolBar1, Palette1);
    setTabOrder(Palette1, LightColor1);
    setTabOrder(LightColor1, txtIntensity);
    setTabOrder(txtIntensity, txtFog);
    p->setFocus();
}
