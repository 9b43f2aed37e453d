// Listing a folder: the folder tree's click, the four scan toggles and the file-type filter.

#include <QAction>
#include <QKeyEvent>
#include <QTreeView>

#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/ImageList.h"
#include "explorer/UniversalExplorerUnit.h"
#include "graph/VeskoraXGraphUtils.h"

TTypeFilter TUniversalExplorerForm::CheckedFileTypes() const {
  TTypeFilter filter{};
  for (int category = 0; category < kFileTypeCount; ++category)
    filter[static_cast<std::size_t>(category)] = FileTypeItems[category]->isChecked();
  return filter;
}

void TUniversalExplorerForm::FileTreeViewClick() {
  // One task at a time; and without a chosen folder there is nothing to list.
  if (FTaskRunning) return;
  const QByteArray folder = SelectedFolder();
  if (folder.isEmpty()) return;

  // The thumbnail queue is emptied here, before its records go.

  // The flag stops work that may still walk the old rows while they are freed.
  FCancelState->Cancelled = true;
  FileListView->Model()->Clear();
  // The list's reset has dropped the timeline's items already; an empty list sends none.
  FTimeline->Clear();

  showHashesBtn->setChecked(false);
  showThumbsBtn->setChecked(false);
  showThumbsBtnClick();

  // The scan copies this; menu changes from now on count from the next scan.
  FTypeFilter = CheckedFileTypes();
  FCancelState->Cancelled = false;

  const bool showHiddenOrSystem = showHiddenBtn->isChecked();
  auto thread = std::make_unique<TUEBackThread>(
      btmScan, this, folder, rcFoldersBtn->isChecked(), showHiddenOrSystem, showHiddenOrSystem,
      showProtectedBtn->isChecked(), showOSFoldersBtn->isChecked() ? nullptr : FOSFolderIndex.get(),
      FIconIndex.get(), FileImageList->Count(), FFileTypeIndex.get(), FTypeFilter,
      FCancelState.get());
  RunBackgroundTask(btmScan, std::move(thread), QStringLiteral("Getting Files..."));
  // The list is complete (or as far as a cancel let it come): the one place the timeline is
  // built.
  FTimeline->Clear();
  FTimeline->Rebuild();
}

void TUniversalExplorerForm::rcFoldersBtnClick() {
  // The button has changed its state already: list the same folder with the new options.
  if (FileTreeView->currentIndex().isValid()) FileTreeViewClick();
}

bool TUniversalExplorerForm::eventFilter(QObject* watched, QEvent* event) {
  // Enter on a folder of the tree lists it, as a click does; the arrow keys only move.
  if (watched == FileTreeView && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && FileTreeView->currentIndex().isValid()) {
      FileTreeViewClick();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
