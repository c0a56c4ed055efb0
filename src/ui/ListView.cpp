#include "ui/ListView.h"

#include <algorithm>

namespace korvane {

int ListView::InsertRow(int index, std::string text) {
    index = std::clamp(index, 0, RowCount());
    Row row;
    row.cells.push_back(std::move(text));
    rows_.insert(rows_.begin() + index, std::move(row));
    Notify({ChangeKind::RowInserted, index});
    return index;
}

void ListView::SetCell(int row, int column, std::string text) {
    if (row < 0 || row >= RowCount() || column < 0) {
        return;
    }
    auto& cells = rows_[row].cells;
    if (static_cast<int>(cells.size()) <= column) {
        cells.resize(column + 1);
    }
    cells[column] = std::move(text);
    Notify({ChangeKind::RowChanged, row});
}

bool ListView::DeleteRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    rows_.erase(rows_.begin() + row);
    Notify({ChangeKind::RowDeleted, row});
    return true;
}

void ListView::DeleteAllRows() {
    rows_.clear();
    Notify({ChangeKind::RowsCleared});
}

std::string ListView::RowText(int row, int column) const {
    const Row* r = RowAt(row);
    if (r == nullptr || column < 0 || column >= static_cast<int>(r->cells.size())) {
        return {};
    }
    return r->cells[column];
}

const ListView::Row* ListView::RowAt(int row) const {
    if (row < 0 || row >= RowCount()) {
        return nullptr;
    }
    return &rows_[row];
}

void ListView::SetRowState(int row, bool selected, bool focused) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    for (int i = 0; i < RowCount(); ++i) {
        if (i == row) {
            continue;
        }
        if (selected && single_selection_) {
            rows_[i].selected = false;
        }
        // Only one row carries the focus.
        if (focused) {
            rows_[i].focused = false;
        }
    }
    rows_[row].selected = selected;
    rows_[row].focused = focused;
    Notify({ChangeKind::Selection, row});
}

void ListView::ClearSelection() {
    for (Row& r : rows_) {
        r.selected = false;
        r.focused = false;
    }
    Notify({ChangeKind::Selection});
}

int ListView::NextSelected(int after) const {
    for (int i = std::max(after + 1, 0); i < RowCount(); ++i) {
        if (rows_[i].selected) {
            return i;
        }
    }
    return -1;
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int i = NextSelected(); i >= 0; i = NextSelected(i)) {
        rows.push_back(i);
    }
    return rows;
}

int ListView::FocusedRow() const {
    for (int i = 0; i < RowCount(); ++i) {
        if (rows_[i].focused) {
            return i;
        }
    }
    return -1;
}

void ListView::EnsureVisible(int row) {
    Notify({ChangeKind::Scrolled, row});
}

RowStyle ListView::StyleOf(int row) const {
    if (!row_style_ || row < 0 || row >= RowCount()) {
        return {};
    }
    return row_style_(row);
}

}  // namespace korvane
