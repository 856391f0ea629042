#pragma once
// CKestrelAboutDlg: the about box. Enter and Escape do not close it (only
// OK does); a drag on its background moves it.

#include <QDialog>
#include <QPoint>

class QPushButton;

namespace app {

class UserPrompts;

class CKestrelAboutDlg : public QDialog {
    Q_OBJECT
public:
    CKestrelAboutDlg(UserPrompts& prompts, const QString& manualPath, QWidget* parent = nullptr);
    QPushButton* OkButton() const { return ok_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPushButton* ok_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace app
