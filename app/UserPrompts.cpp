#include "UserPrompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

#include "AppTexts.h"

namespace app {

namespace {

QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(kAppTitle), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void DialogPrompts::Information(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

void DialogPrompts::Error(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

bool DialogPrompts::Question(QWidget* parent, const QString& text, bool questionIcon) {
    return ShowBox(parent, questionIcon ? QMessageBox::Question : QMessageBox::Information, text,
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString DialogPrompts::PickDataFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("mdf"));
    // The one filter matches every name ending in "mdf", in any case.
    dialog.setNameFilter(QStringLiteral(".mdf Files (*mdf *MDF *Mdf *mDf *mdF *MDf *MdF *mDF)"));
    dialog.selectFile(QStringLiteral("*.mdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString DialogPrompts::PickFolder(QWidget* parent, const QString& title) {
    return QFileDialog::getExistingDirectory(
        parent, title, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
        QFileDialog::ShowDirsOnly);
}

void DialogPrompts::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace app
