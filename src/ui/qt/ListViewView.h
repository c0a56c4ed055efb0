#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "ui/qt/ControlView.h"

namespace korvane {

class ListView;

// The rows of a list model as a Qt table model; text and background colours
// come from the list's row style, asked at every paint.
class ListRowsModel : public QAbstractTableModel {
  public:
    explicit ListRowsModel(ListView& list);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Called after the list changed, to tell the view.
    void RowInserted(int row);
    void RowDeleted(int row);
    void RowChanged(int row);
    void AllChanged();
    // Rows or columns differ from what the view was told: start over.
    void Reset();

  private:
    // Columns are added without notice; the view then needs a reset.
    bool ColumnsChanged() const;

    ListView& list_;
    int rows_ = 0;
    int columns_ = 1;
};

// A report-style list without a column header: fixed row height, optional
// grid lines, full-row selection, the selection kept visible without focus.
class ListViewView : public QTableView, public ControlView {
  public:
    ListViewView(ListView& list, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

    ListRowsModel& rows_model() { return model_; }
    // The height rows get when the list sets none.
    static constexpr int kDefaultRowHeight = 17;
    static constexpr int kGridLinesStyle = 0x01;

  protected:
    // A press on the empty area below the rows clears the selection, as
    // list views do.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void Configure();
    void ApplySelection();
    void TakeUserSelection();

    ListView& list_;
    ListRowsModel model_;
    // Set while the model's selection is copied to the widget, or the user's
    // to the model.
    bool copying_selection_ = false;
};

}  // namespace korvane
