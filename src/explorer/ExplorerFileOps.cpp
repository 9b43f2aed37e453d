// The commands on the selected rows: "Select All", "List to Clipboard", "Copy Files" and
// "Delete Files", and the walk that copies or trashes the selected files on the interface
// thread.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScopeGuard>

#include <cmath>

#include "explorer/ClipboardFormats.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/UniversalExplorerUnit.h"
#include "explorer/Win7TaskBarUtils.h"
#include "platform/FileCopy.h"
#include "platform/Trash.h"

void TUniversalExplorerForm::selectAllBtnClick() { FileListView->selectAll(); }

void TUniversalExplorerForm::cpToClipboardBtnClick() {
  const std::vector<TFileNodeData*> records = FileListView->SelectedRecords();
  // Nothing selected: the clipboard keeps what it holds.
  if (records.empty()) return;

  // The columns as the user sees them: in the header's order, hidden ones left out.
  const QHeaderView* header = FileListView->header();
  const TFileListModel& model = *FileListView->Model();
  std::vector<int> columns;
  TClipboardTable table;
  for (int visual = 0; visual < header->count(); ++visual) {
    const int column = header->logicalIndex(visual);
    if (column < 0 || header->isSectionHidden(column)) continue;
    columns.push_back(column);
    table.Captions += model.headerData(column, Qt::Horizontal).toString();
  }
  table.Rows.reserve(static_cast<qsizetype>(records.size()));
  for (const TFileNodeData* record : records) {
    QStringList cells;
    cells.reserve(static_cast<qsizetype>(columns.size()));
    for (const int column : columns) cells += TFileListModel::CellText(*record, column);
    table.Rows += cells;
  }
  if (std::unique_ptr<QMimeData> data = MakeClipboardData(table))
    QGuiApplication::clipboard()->setMimeData(data.release());
}

void TUniversalExplorerForm::copyCheckedBtnClick() {
  if (FTaskRunning) return;
  const QString folder =
      OnAskCopyFolder ? OnAskCopyFolder()
                      : QFileDialog::getExistingDirectory(this, QStringLiteral("Copy Files To..."),
                                                          QString(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return;
  ProcessSelectedFiles(sfaCopy, QFile::encodeName(folder));
}

void TUniversalExplorerForm::deleteCheckedBtnClick() {
  if (FTaskRunning) return;
  const bool confirmed =
      OnConfirmDelete ? OnConfirmDelete()
                      : QMessageBox::question(this, QStringLiteral("Delete Selected Files?"),
                                              QStringLiteral("Do you want to delete all selected "
                                                             "files? "),
                                              QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No) == QMessageBox::Yes;
  if (confirmed) ProcessSelectedFiles(sfaDelete, {});
}

void TUniversalExplorerForm::ProcessSelectedFiles(TSelectedFilesAction action,
                                                  const QByteArray& folder) {
  if (FTaskRunning) return;
  FTaskRunning = true;
  FCancelState->Cancelled = false;
  MainPanel->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // From here on the window is restored however the walk ends.
  const auto cleanUp = qScopeGuard([this] { FinishInterfaceTask(); });

  const QString verb = action == sfaCopy ? QStringLiteral("Copying") : QStringLiteral("Deleting");
  FProgressClock.FTaskCaption = verb + QStringLiteral(" Selected Files...");
  SetStatusText(FProgressClock.FTaskCaption);
  QCoreApplication::processEvents();

  // The bar counts percent here, whatever a pass left as its maximum.
  FProgressBar->setRange(0, 100);
  TFileListModel& model = *FileListView->Model();
  const QItemSelectionModel& selection = *FileListView->selectionModel();
  TTrash trash;
  const int total = model.rowCount();
  int processed = 0;
  // `index` counts the rows visited, `row` is where the next one stands now: a trashed row
  // leaves the list, and the one after it moves up.
  int row = 0;
  for (int index = 0; index < total && !FCancelState->Cancelled; ++index) {
    const int percent = static_cast<int>(std::lrint(static_cast<double>(index) / total * 100.0));
    if (percent % 2 == 0) {
      FProgressBar->setValue(percent);
      SetTaskbarProgressValue(static_cast<std::uint64_t>(FProgressBar->value()),
                              static_cast<std::uint64_t>(FProgressBar->maximum()));
      SetStatusText(verb + QStringLiteral(" Selected Files, please wait... (Processed ") +
                    QString::number(processed) + QStringLiteral(" files)."));
      QCoreApplication::processEvents();
    }
    const TFileNodeData* record = model.Record(row);
    if (record == nullptr) break;
    if (!selection.isRowSelected(row)) {
      ++row;
      continue;
    }
    if (action == sfaCopy) {
      if (CopyFileInto(record->Path, folder) == cprCopied) ++processed;
      ++row;
    } else if (trash.MoveToTrash(record->Path) == trMoved) {
      ++processed;
      // The search node and the timeline let go of the row through the model's signals.
      model.RemoveRow(row);
    } else {
      ++row;  // not trashed: stays listed and selected
    }
  }
}

void TUniversalExplorerForm::FinishInterfaceTask() {
  FProgressBar->setValue(0);
  SetTaskbarProgressState(0);
  SetStatusText(ViewingStatusText(FileListView->Model()->rowCount(), FTotalBytes));
  MainPanel->setEnabled(true);
  QApplication::restoreOverrideCursor();
  FileListView->viewport()->update();
  FTaskRunning = false;
  QCoreApplication::processEvents();
  if (FCloseRequested) {
    FCloseRequested = false;
    close();
  }
}
