#pragma once
// Every message box and system picker of the application goes through this
// interface, so that tests can answer them without a modal loop.

#include <QString>
#include <QUrl>

class QWidget;

namespace app {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // Information message (information icon, the application title as caption).
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // Fatal error (error icon).
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // Yes/No question; `questionIcon` picks the question icon, else the information icon.
    virtual bool Question(QWidget* parent, const QString& text, bool questionIcon) = 0;
    // The Open File dialog of the settings dialog; empty when cancelled.
    virtual QString PickDataFile(QWidget* parent) = 0;
    // The folder picker of the settings dialog; empty when cancelled.
    virtual QString PickFolder(QWidget* parent, const QString& title) = 0;
    // Opens a document (the manual) in the desktop's viewer.
    virtual void OpenUrl(const QUrl& url) = 0;
};

// The real boxes and pickers.
class DialogPrompts final : public UserPrompts {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text, bool questionIcon) override;
    QString PickDataFile(QWidget* parent) override;
    QString PickFolder(QWidget* parent, const QString& title) override;
    void OpenUrl(const QUrl& url) override;
};

}  // namespace app
