#include "AboutDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "AppTexts.h"
#include "UserPrompts.h"

namespace app {

CKestrelAboutDlg::CKestrelAboutDlg(UserPrompts& prompts, const QString& manualPath, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kAppTitle));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    auto* title = new QLabel(QString::fromUtf8(kAppTitle), this);
    QFont bold;
    bold.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    bold.setPixelSize(18);
    bold.setWeight(QFont::DemiBold);
    title->setFont(bold);
    auto* notice = new QLabel(
        QStringLiteral("Recovers tables, rows and definitions from SQL Server data files (.mdf, .ndf)\n"
                       "without a database server. The data files are only read, never written."),
        this);

    // The three links lead to the sections of the manual shipped with the program.
    const QUrl manual = QUrl::fromLocalFile(manualPath);
    auto link = [&](const QString& text, const QString& tip, const QString& section) {
        auto* button = new QPushButton(text, this);
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        // Drawn as a link: no frame, the link colour, underlined.
        button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 2px 4px; color: palette(link); "
                                             "text-decoration: underline; text-align: left; }"));
        button->setToolTip(tip);
        button->setAutoDefault(false);
        QUrl target = manual;
        target.setFragment(section);
        connect(button, &QPushButton::clicked, this, [&prompts, target] { prompts.OpenUrl(target); });
        return button;
    };
    auto* links = new QHBoxLayout;
    links->addWidget(link(QStringLiteral("Company website"), QStringLiteral("Company website"), QStringLiteral("about")));
    links->addWidget(link(QStringLiteral("Support"), QStringLiteral("Support email address"), QStringLiteral("support")));
    links->addWidget(link(QStringLiteral("Sales"), QStringLiteral("Sales email address"), QStringLiteral("sales")));
    links->addStretch(1);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(ok_);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(notice);
    text->addLayout(links);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(okRow);
}

void CKestrelAboutDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CKestrelAboutDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void CKestrelAboutDlg::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) move(event->globalPosition().toPoint() - dragOffset_);
    QDialog::mouseMoveEvent(event);
}

}  // namespace app
