#include "RecordBrowserPanel.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

#include "AppTexts.h"

namespace app {

namespace {

constexpr int kColumnWidth = 200;
// Below the grid: a strip for the page label and the paging buttons.
constexpr int kStripHeight = 35;

QFont PanelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(14);
    return font;
}

}  // namespace

int RowTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RowTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RowTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const QString cell = Cell(index.row(), index.column());
    // Long values show whole in the tool tip.
    if (role == Qt::ToolTipRole) return cell.size() > 30 ? QVariant(cell.left(2000)) : QVariant();
    return cell;
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section >= 0 && section < columns_.size() ? QVariant(columns_[section]) : QVariant();
}

void RowTableModel::SetColumns(const QStringList& names) {
    beginResetModel();
    rows_.clear();
    columns_ = names;
    endResetModel();
}

void RowTableModel::ClearColumns() { SetColumns({}); }

void RowTableModel::ClearRows() {
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void RowTableModel::InsertColumn(int position, const QString& name) {
    position = std::clamp(position, 0, static_cast<int>(columns_.size()));
    beginInsertColumns({}, position, position);
    columns_.insert(position, name);
    for (QStringList& row : rows_)
        if (position <= row.size()) row.insert(position, QString());
    endInsertColumns();
}

void RowTableModel::DeleteColumns(int count) {
    count = std::min(count, static_cast<int>(columns_.size()));
    if (count <= 0) return;
    beginRemoveColumns({}, 0, count - 1);
    columns_.remove(0, count);
    for (QStringList& row : rows_) row.remove(0, std::min(count, static_cast<int>(row.size())));
    endRemoveColumns();
}

void RowTableModel::InsertRows(int first, const std::vector<QStringList>& rows) {
    if (rows.empty()) return;
    first = std::clamp(first, 0, static_cast<int>(rows_.size()));
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.begin() + first, rows.begin(), rows.end());
    endInsertRows();
}

QString RowTableModel::Cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    const QStringList& cells = rows_[static_cast<std::size_t>(row)];
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

CKestrelStatic::CKestrelStatic(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("recordBrowser"));
    const QFont font = PanelFont();

    model_ = new RowTableModel(this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("recordGrid"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Fitting the columns looks at the first rows only, however many there are.
    grid_->horizontalHeader()->setResizeContentsPrecision(200);
    grid_->hide();

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("definitionText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(14);
    text_->setFont(mono);

    previous_ = new QToolButton(this);
    previous_->setObjectName(QStringLiteral("previousRecords"));
    previous_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    previous_->setToolTip(QString::fromUtf8(kTipPrevious));
    previous_->setAccessibleName(QString::fromUtf8(kTipPrevious));
    next_ = new QToolButton(this);
    next_->setObjectName(QStringLiteral("nextRecords"));
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    next_->setToolTip(QString::fromUtf8(kTipNext));
    next_->setAccessibleName(QString::fromUtf8(kTipNext));
    for (QToolButton* button : {previous_, next_}) {
        button->setIconSize(QSize(20, 20));
        button->setFont(font);
        button->setEnabled(false);
        button->hide();
    }
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("pageLabel"));
    label_->setFont(font);
    label_->hide();

    connect(previous_, &QToolButton::clicked, this, &CKestrelStatic::PreviousClicked);
    connect(next_, &QToolButton::clicked, this, &CKestrelStatic::NextClicked);
    Arrange();
}

void CKestrelStatic::ShowGrid(bool grid) {
    grid_->setVisible(grid);
    label_->setVisible(grid);
    previous_->setVisible(grid);
    next_->setVisible(grid);
    text_->setVisible(!grid);
}

void CKestrelStatic::SetColumns(const QStringList& names) {
    model_->SetColumns(names);
    for (int i = 0; i < names.size(); ++i) grid_->setColumnWidth(i, kColumnWidth);
}

void CKestrelStatic::ClearGrid(bool columnsToo) {
    if (columnsToo) model_->ClearColumns();
    else model_->ClearRows();
}

void CKestrelStatic::InsertColumn(int position, const QString& name) {
    model_->InsertColumn(position, name);
    grid_->setColumnWidth(position, kColumnWidth);
}

void CKestrelStatic::FitColumns() {
    // A short code needs no 200 pixels, a long text gets some more; very
    // long values stay elided (their tool tip shows them whole).
    constexpr int kNarrowest = 60;
    constexpr int kWidest = 380;
    for (int column = 0; column < model_->columnCount(); ++column) {
        grid_->resizeColumnToContents(column);
        grid_->setColumnWidth(column, std::clamp(grid_->columnWidth(column) + 8, kNarrowest, kWidest));
    }
}

void CKestrelStatic::DeleteColumns(int count) { model_->DeleteColumns(count); }

void CKestrelStatic::InsertRows(int first, const std::vector<QStringList>& rows) { model_->InsertRows(first, rows); }

void CKestrelStatic::SetText(const QString& text) { text_->setPlainText(text); }

void CKestrelStatic::SetPageLabel(const QString& text) { label_->setText(text); }

void CKestrelStatic::EnablePrevious(bool enable) { previous_->setEnabled(enable); }

void CKestrelStatic::EnableNext(bool enable) { next_->setEnabled(enable); }

void CKestrelStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

void CKestrelStatic::Arrange() {
    const int cx = width();
    const int cy = height();
    text_->setGeometry(0, 0, cx, cy);
    grid_->setGeometry(0, 0, cx, std::max(0, cy - kStripHeight));
    const int buttonTop = cy - kStripHeight + 4;
    previous_->setGeometry(cx - 120, buttonTop, 50, 27);
    next_->setGeometry(cx - 65, buttonTop, 50, 27);
    label_->setGeometry(10, buttonTop, std::max(0, std::min(490, cx - 140)), 27);
}

}  // namespace app
