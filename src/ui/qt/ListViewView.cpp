#include "ui/qt/ListViewView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "ui/Dialog.h"
#include "ui/ListView.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/QtColour.h"

namespace korvane {

namespace {

Qt::Alignment AlignmentOf(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case TextAlignment::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case TextAlignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Selected rows keep showing while the list has no focus, in a quiet grey
// that leaves the row's own text colour readable.
class RowDelegate : public QStyledItemDelegate {
  public:
    explicit RowDelegate(QTableView& view) : QStyledItemDelegate(&view), view_(view) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if ((option->state & QStyle::State_Selected) == 0 || view_.hasFocus()) {
            return;
        }
        const QVariant text = index.data(Qt::ForegroundRole);
        option->palette.setColor(QPalette::Highlight, QColor(0xD9, 0xD9, 0xD9));
        option->palette.setColor(QPalette::HighlightedText,
                                 text.isValid() ? text.value<QColor>() : QColor(Qt::black));
    }

  private:
    QTableView& view_;
};

}  // namespace

ListRowsModel::ListRowsModel(ListView& list) : list_(list) {
    rows_ = list_.RowCount();
    columns_ = std::max<int>(1, static_cast<int>(list_.columns().size()));
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ListRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.RowCount()) {
        return {};
    }
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(list_.RowText(row, index.column()));
        case Qt::ForegroundRole:
            if (const auto text = list_.StyleOf(row).text) {
                return ToQColor(*text);
            }
            return {};
        case Qt::BackgroundRole:
            if (const auto background = list_.StyleOf(row).background) {
                return ToQColor(*background);
            }
            return {};
        case Qt::TextAlignmentRole: {
            const auto& columns = list_.columns();
            const int column = index.column();
            return static_cast<int>(AlignmentOf(column < static_cast<int>(columns.size())
                                                    ? columns[column].alignment
                                                    : TextAlignment::Left));
        }
        default:
            return {};
    }
}

bool ListRowsModel::ColumnsChanged() const {
    return std::max<int>(1, static_cast<int>(list_.columns().size())) != columns_;
}

void ListRowsModel::RowInserted(int row) {
    if (ColumnsChanged() || list_.RowCount() != rows_ + 1 || row < 0 || row > rows_) {
        Reset();
        return;
    }
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
}

void ListRowsModel::RowDeleted(int row) {
    if (ColumnsChanged() || list_.RowCount() != rows_ - 1 || row < 0 || row >= rows_) {
        Reset();
        return;
    }
    beginRemoveRows({}, row, row);
    --rows_;
    endRemoveRows();
}

void ListRowsModel::RowChanged(int row) {
    if (row >= 0 && row < rows_) {
        emit dataChanged(index(row, 0), index(row, columns_ - 1));
    }
}

void ListRowsModel::AllChanged() {
    if (list_.RowCount() != rows_ || ColumnsChanged()) {
        Reset();
        return;
    }
    if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
    }
}

void ListRowsModel::Reset() {
    beginResetModel();
    rows_ = list_.RowCount();
    columns_ = std::max<int>(1, static_cast<int>(list_.columns().size()));
    endResetModel();
}

ListViewView::ListViewView(ListView& list, DialogWindow& window)
    : QTableView(&window), ControlView(list, window), list_(list), model_(list) {
    setModel(&model_);
    setItemDelegate(new RowDelegate(*this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged,
            [this] { TakeUserSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged,
            [this] { TakeUserSelection(); });
    Configure();
}

void ListViewView::Configure() {
    setSelectionMode(list_.single_selection() ? QAbstractItemView::SingleSelection
                                              : QAbstractItemView::ExtendedSelection);
    setShowGrid((list_.extended_style & kGridLinesStyle) != 0);
    const int row_height = list_.row_height > 0 ? list_.row_height : kDefaultRowHeight;
    verticalHeader()->setDefaultSectionSize(row_height);
    const auto& columns = list_.columns();
    // A list without columns shows its one cell across the whole width.
    horizontalHeader()->setStretchLastSection(columns.empty());
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (columnWidth(i) != columns[i].width) {
            setColumnWidth(i, columns[i].width);
        }
    }
}

void ListViewView::Refresh(ControlChange change) {
    switch (change.kind) {
        case ChangeKind::RowInserted:
            model_.RowInserted(change.index);
            break;
        case ChangeKind::RowDeleted:
            model_.RowDeleted(change.index);
            break;
        case ChangeKind::RowChanged:
            model_.RowChanged(change.index);
            break;
        case ChangeKind::RowsCleared:
            model_.Reset();
            break;
        case ChangeKind::Scrolled:
            if (change.index >= 0 && change.index < model_.rowCount()) {
                scrollTo(model_.index(change.index, 0));
            }
            return;
        case ChangeKind::Selection:
            break;
        default:
            model_.AllChanged();
            break;
    }
    Configure();
    ApplySelection();
    viewport()->update();
}

void ListViewView::ApplySelection() {
    if (copying_selection_) {
        return;
    }
    copying_selection_ = true;
    QItemSelection wanted;
    int focused = -1;
    for (int row = 0; row < model_.rowCount(); ++row) {
        const ListView::Row* r = list_.RowAt(row);
        if (r == nullptr) {
            continue;
        }
        if (r->selected) {
            wanted.select(model_.index(row, 0), model_.index(row, model_.columnCount() - 1));
        }
        if (r->focused) {
            focused = row;
        }
    }
    if (selectionModel()->selection() != wanted) {
        selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
    }
    if (focused >= 0 && currentIndex().row() != focused) {
        selectionModel()->setCurrentIndex(model_.index(focused, 0), QItemSelectionModel::NoUpdate);
    }
    copying_selection_ = false;
}

void ListViewView::TakeUserSelection() {
    if (copying_selection_) {
        return;
    }
    copying_selection_ = true;
    bool changed = false;
    Deliver([&] {
        const int current = currentIndex().isValid() ? currentIndex().row() : -1;
        for (int row = 0; row < list_.RowCount() && row < model_.rowCount(); ++row) {
            const bool selected = selectionModel()->isRowSelected(row, {});
            const bool focused = row == current;
            const ListView::Row* r = list_.RowAt(row);
            if (r->selected != selected || r->focused != focused) {
                list_.SetRowState(row, selected, focused);
                changed = true;
            }
        }
    });
    copying_selection_ = false;
    if (changed) {
        Deliver(
            [this] { list_.owner()->DispatchNotify(list_.id(), Notification::SelectionChange); });
    }
}

void ListViewView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier &&
        !indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
    }
}

void ListViewView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!indexAt(event->position().toPoint()).isValid()) {
        mousePressEvent(event);
    } else {
        QTableView::mouseDoubleClickEvent(event);
    }
    if (event->button() == Qt::LeftButton) {
        Deliver([this] { list_.owner()->DispatchNotify(list_.id(), Notification::DoubleClick); });
    }
}

}  // namespace korvane
