#include "explorer/FileListView.h"

#include "explorer/FileListModel.h"
#include "platform/ShellOpen.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

struct TColumnWidth {
  int Width;
  int Minimum;  // 0: the header's own minimum
};

constexpr TColumnWidth kColumnWidths[fcColumnCount] = {
    {230, 200}, {60, 40}, {80, 0}, {100, 0}, {100, 0}, {100, 0}, {140, 0}, {160, 0}, {60, 0}};

// A header of fixed height: QTreeView sizes its header from the header's size hint.
class TFileListHeader : public QHeaderView {
 public:
  explicit TFileListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

  QSize sizeHint() const override {
    return {QHeaderView::sizeHint().width(), TFileListView::kHeaderHeight};
  }
};

// Paints the cells: fixed row height, the Thumbnail column's hook, and a tooltip only for a
// cell whose text does not fit.
class TFileListDelegate : public QStyledItemDelegate {
 public:
  explicit TFileListDelegate(TFileListView* view) : QStyledItemDelegate(view), FView(view) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), FView->RowHeight()};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() == fcThumbnail && FView->OnBeforeCellPaint) {
      // The Thumbnail cell has no text or icon: the default painting above drew only its
      // background, which the picture goes over.
      if (TFileNodeData* record = FView->Model()->Record(index.row()))
        FView->OnBeforeCellPaint(painter, record, option.rect);
    }
  }

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || !index.isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QStyle* style = view->style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view);
    if (!cell.text.isEmpty() && cell.fontMetrics.horizontalAdvance(cell.text) > textRect.width())
      QToolTip::showText(event->globalPos(), cell.text, view, option.rect);
    else
      QToolTip::hideText();
    return true;
  }

 private:
  TFileListView* FView;
};

}  // namespace

TFileListView::TFileListView(QWidget* parent)
    : QTreeView(parent), FModel(new TFileListModel(this)) {
  setObjectName(QStringLiteral("FileListView"));
  OnOpenFile = [](const QByteArray& path) { ShellOpen(path); };

  setHeader(new TFileListHeader(this));
  setItemDelegate(new TFileListDelegate(this));
  setModel(FModel);

  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setAllColumnsShowFocus(true);
  setSortingEnabled(false);  // header clicks go through HeaderClick
  setEditTriggers(QAbstractItemView::NoEditTriggers);

  QHeaderView* head = header();
  head->setSectionsMovable(true);
  head->setSectionsClickable(true);
  head->setStretchLastSection(false);
  head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  head->setMinimumSectionSize(20);
  head->setSortIndicatorShown(true);
  head->setSortIndicator(-1, Qt::AscendingOrder);
  for (int column = 0; column < fcColumnCount; ++column) {
    head->setSectionResizeMode(column, QHeaderView::Interactive);
    head->resizeSection(column, kColumnWidths[column].Width);
  }
  setColumnHidden(fcThumbnail, true);

  // QHeaderView only emits sectionClicked for the left button.
  connect(head, &QHeaderView::sectionClicked, this,
          [this](int column) { HeaderClick(column, Qt::LeftButton); });
  connect(head, &QHeaderView::sectionResized, this,
          [this](int column, int, int newSize) { KeepMinimumWidth(column, newSize); });
}

TFileListView::~TFileListView() = default;

TFileListModel* TFileListView::Model() const { return FModel; }

void TFileListView::HeaderClick(int column, Qt::MouseButton button) {
  if (button != Qt::LeftButton || column < 0 || column >= fcColumnCount) return;
  Qt::SortOrder order = Qt::AscendingOrder;
  if (FModel->SortColumn() == column)
    order =
        FModel->SortDirection() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  FModel->SortBy(column, order);
  header()->setSortIndicator(column, order);
}

std::vector<std::pair<int, int>> TFileListView::SelectedRowRanges() const {
  std::vector<std::pair<int, int>> ranges;
  if (!selectionModel()) return ranges;
  const QItemSelection selection = selectionModel()->selection();
  ranges.reserve(std::size_t(selection.size()));
  for (const QItemSelectionRange& range : selection)
    if (range.isValid() && !range.parent().isValid())
      ranges.emplace_back(range.top(), range.bottom());
  // Ranges of a selection may overlap (a row selected twice): merge them.
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& range : ranges) {
    if (!merged.empty() && range.first <= merged.back().second + 1)
      merged.back().second = std::max(merged.back().second, range.second);
    else
      merged.push_back(range);
  }
  return merged;
}

int TFileListView::SelectedCount() const {
  int count = 0;
  for (const auto& [first, last] : SelectedRowRanges()) count += last - first + 1;
  return count;
}

TFileNodeData* TFileListView::FirstSelected() const {
  const auto ranges = SelectedRowRanges();
  return ranges.empty() ? nullptr : FModel->Record(ranges.front().first);
}

std::vector<TFileNodeData*> TFileListView::SelectedRecords() const {
  std::vector<TFileNodeData*> records;
  const auto ranges = SelectedRowRanges();
  std::size_t count = 0;
  for (const auto& [first, last] : ranges) count += std::size_t(last - first + 1);
  records.reserve(count);
  for (const auto& [first, last] : ranges)
    for (int row = first; row <= last; ++row) records.push_back(FModel->Record(row));
  return records;
}

void TFileListView::SetRepaintSuspended(bool suspended) {
  if (suspended == FRepaintSuspended) return;
  FRepaintSuspended = suspended;
  setUpdatesEnabled(!suspended);
  if (!suspended) {
    if (FLayoutPending) doItemsLayout();
    viewport()->update();
  }
}

void TFileListView::doItemsLayout() {
  if (FRepaintSuspended) {
    FLayoutPending = true;
    return;
  }
  FLayoutPending = false;
  QTreeView::doItemsLayout();
}

bool TFileListView::RepaintSuspended() const { return FRepaintSuspended; }

void TFileListView::SetRowHeight(int height) {
  height = std::max(1, height);
  if (height == FRowHeight) return;
  FRowHeight = height;
  // With uniform rows the view caches one row height; a new layout takes the new one.
  doItemsLayout();
}

int TFileListView::RowHeight() const { return FRowHeight; }

void TFileListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton || !OnOpenFile) return;
  if (const TFileNodeData* record = FirstSelected()) {
    const QByteArray path = record->Path;  // the callee may change the list
    OnOpenFile(path);
  }
}

void TFileListView::KeepMinimumWidth(int column, int newSize) {
  if (column < 0 || column >= fcColumnCount) return;
  const int minimum = kColumnWidths[column].Minimum;
  // A hidden section reports size 0; it keeps whatever it gets.
  if (newSize > 0 && newSize < minimum) header()->resizeSection(column, minimum);
}
