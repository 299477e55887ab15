#pragma once

#include <QDialog>
#include <QLabel>

class QPlainTextEdit;
class QPushButton;

// A caption that acts as a link: dark blue, bold and underlined, with a pointing hand over it.
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// What both About windows share: a fixed white window, headings, read-only texts, pictures
// and links placed as laid out in twips (TwipsRect), and a button out of sight that holds the focus so that Enter
// and the space bar close the window.
class AboutWindow : public QDialog {
    Q_OBJECT

protected:
    AboutWindow(const char* name, int clientHeightTwips);

    static constexpr int kTwelvePoints = 16;  // pixels at 96 dots per inch

    QLabel* AddPicture(const char* name, QRect geometry, const QString& resource);
    QLabel* AddHeading(const char* name, QRect geometry, const QString& text);
    QLabel* AddCaption(const char* name, QRect geometry, const QString& text, const QString& family, int pixels,
                       bool bold);
    LinkLabel* AddLink(const char* name, QRect geometry, const QString& text, const QString& family, int pixels);
    QPlainTextEdit* AddTextBox(const char* name, QRect geometry, const QString& text);
    // "Click here to continue...", which closes the window like the hidden button does.
    void AddContinueLink(QRect geometry);
    void AddHiddenCloseButton(QRect geometry);

    void changeEvent(QEvent* event) override;

private:
    QPushButton* Command1 = nullptr;
};
