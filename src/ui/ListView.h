#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Colour.h"
#include "ui/Control.h"
#include "ui/Geometry.h"

namespace korvane {

struct ListColumn {
    std::string title;
    int width = 0;
    TextAlignment alignment = TextAlignment::Left;
};

// Colours a row is drawn with; an empty value keeps the list's default.
struct RowStyle {
    std::optional<Colour> text;
    std::optional<Colour> background;
};

// A report-style list view: rows of cells, each row with its selected and
// focused state. The owner may draw rows in colours of its own by giving a
// style function, asked for every row whenever the list is painted.
class ListView : public Control {
  public:
    struct Row {
        std::vector<std::string> cells;
        bool selected = false;
        bool focused = false;
    };

    explicit ListView(int id, bool single_selection = false)
        : Control(id, ControlKind::ListView), single_selection_(single_selection) {}

    void AddColumn(ListColumn column) { columns_.push_back(std::move(column)); }
    const std::vector<ListColumn>& columns() const { return columns_; }
    bool single_selection() const { return single_selection_; }
    int extended_style = 0;
    int row_height = 0;

    // Inserts before `index` (clamped to the row count) and returns the row.
    int InsertRow(int index, std::string text);
    void SetCell(int row, int column, std::string text);
    bool DeleteRow(int row);
    void DeleteAllRows();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Empty for a row or column that does not exist.
    std::string RowText(int row, int column = 0) const;
    const Row* RowAt(int row) const;

    // Selection. In a single-selection list selecting a row clears the others.
    void SetRowState(int row, bool selected, bool focused);
    void ClearSelection();
    // The first selected row after `after` (-1: from the top), -1 when none.
    int NextSelected(int after = -1) const;
    std::vector<int> SelectedRows() const;
    int FocusedRow() const;
    void EnsureVisible(int row);

    void SetRowStyle(std::function<RowStyle(int row)> style) { row_style_ = std::move(style); }
    RowStyle StyleOf(int row) const;

  private:
    std::vector<ListColumn> columns_;
    std::vector<Row> rows_;
    bool single_selection_;
    std::function<RowStyle(int)> row_style_;
};

}  // namespace korvane
