#pragma once
// CKestrelStatic: the record browser panel that fills the main window's view.
//
// A grid for table rows with "Previous Records" / "Next Records" buttons and
// a page label below it, and a read-only text box (definitions, scripts)
// in the same place; which one shows depends on the selected object. The
// panel only shows what the record browser gives it.

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class QPlainTextEdit;
class QTableView;
class QToolButton;

namespace app {

// The grid's rows: a column title list and rows of cell texts.
class RowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetColumns(const QStringList& names);
    void InsertColumn(int position, const QString& name);
    // Removes `count` columns from the left.
    void DeleteColumns(int count);
    void ClearColumns();
    void ClearRows();
    // Rows from `first` on (at most at the end).
    void InsertRows(int first, const std::vector<QStringList>& rows);
    const QStringList& Columns() const { return columns_; }
    QString Cell(int row, int column) const;

private:
    QStringList columns_;
    std::vector<QStringList> rows_;
};

class CKestrelStatic : public QWidget {
    Q_OBJECT
public:
    explicit CKestrelStatic(QWidget* parent = nullptr);

    QTableView* Grid() const { return grid_; }
    RowTableModel* Model() const { return model_; }
    QPlainTextEdit* TextBox() const { return text_; }
    QToolButton* PreviousButton() const { return previous_; }
    QToolButton* NextButton() const { return next_; }
    QLabel* PageLabel() const { return label_; }

    // Grid with its label and buttons (true) or the text box (false).
    void ShowGrid(bool grid);
    void SetColumns(const QStringList& names);
    void ClearGrid(bool columnsToo);
    void InsertColumn(int position, const QString& name);
    void DeleteColumns(int count);
    void InsertRows(int first, const std::vector<QStringList>& rows);
    void SetText(const QString& text);
    void SetPageLabel(const QString& text);
    // Columns as wide as their title and the cells of the rows shown, within bounds.
    void FitColumns();
    void EnablePrevious(bool enable);
    void EnableNext(bool enable);

signals:
    void PreviousClicked();
    void NextClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    RowTableModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QLabel* label_ = nullptr;
};

}  // namespace app
