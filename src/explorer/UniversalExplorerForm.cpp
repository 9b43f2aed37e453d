// The window's life: start-up (in the fixed order the rest of the program relies on), close,
// tear-down, the page switch and the status bar's events.

#include <QCloseEvent>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QTreeView>

#include "containers/StringIndex.h"
#include "controls/SplitterWnd.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/FolderScan.h"
#include "explorer/ImageList.h"
#include "explorer/SplashBox.h"
#include "explorer/StatusBar.h"
#include "explorer/TimelineRowsAdapter.h"
#include "explorer/UniversalExplorerUnit.h"
#include "explorer/Win7TaskBarUtils.h"
#include "graph/VeskoraXGraphUtils.h"

TUniversalExplorerForm::TUniversalExplorerForm(QWidget* parent)
    : QMainWindow(parent), FileImageList(std::make_unique<TImageList>()) {
  setObjectName(QStringLiteral("UniversalExplorerForm"));
  setWindowTitle(QStringLiteral("Veskora"));
  CreateControls();
  resize(kClientWidth, kClientHeight);
  CenterOnScreen();
  FileListView->Model()->SetImageList(FileImageList.get());

  // Without a session bus there is no launcher progress; every task still shows its progress
  // in the status bar.
  InitTaskbarProgress();

  // The list model owns the records of its rows: no room to reserve per row.

  // The progress bar lies over status panel 1; StatusBarDrawPanel keeps it there.
  FProgressBar = new QProgressBar(StatusBar);
  FProgressBar->setObjectName(QStringLiteral("FProgressBar"));
  FProgressBar->setRange(0, 100);
  FProgressBar->setValue(0);
  FProgressBar->setTextVisible(false);
  FProgressBar->setFixedHeight(StatusBar->height() - 4);
  StatusBarDrawPanel(1, StatusBar->PanelRect(1));
  StatusBar->OnClick = [this] { StatusBarClick(); };
  StatusBar->OnDrawPanel = [this](int panel, const QRect& rect) {
    StatusBarDrawPanel(panel, rect);
  };

  FIconIndex = std::make_unique<TStringIntIndex>();

  // Shown with the window (showEvent): mapped after it, it stays above it even where no
  // window manager honours "stay on top".
  FSplash = std::make_unique<TSplashBox>();

  FOSFolderIndex = std::make_unique<TStringIntIndex>();
  FillOSFolderIndex(*FOSFolderIndex);

  FCancelState = std::make_unique<TCancelledState>();

  // Fonts: the list, its header and the folder tree all use the application's font.

  ApplyStyleColours();

  CreateTimeline();

  FFileTypeIndex = std::make_unique<TFileTypeIndex>();
  FillFileTypeIndex(*FFileTypeIndex);

  FSearchNode = nullptr;
  WatchSearchNode();

  FTimeline->OnThumbnailNeeded = [this](TVORNItemNetwork*, TFileNodeData* record) {
    TimelineThumbnailNeeded(record);
  };

  MainPanel->setEnabled(true);
  driveCombo->setFocus(Qt::OtherFocusReason);
}

TUniversalExplorerForm::~TUniversalExplorerForm() {
  DestroyTimeline();
  FOSFolderIndex.reset();
  FIconIndex.reset();
  FFileTypeIndex.reset();
  delete FProgressBar;
  FProgressBar = nullptr;
  FCancelState.reset();
  FSplash.reset();
}

void TUniversalExplorerForm::closeEvent(QCloseEvent* event) {
  if (FSplash) FSplash->close();
  // The thumbnail workers are stopped here, at once, also while a task runs.
  if (FTaskRunning) {
    // The running task goes on to its normal end (it is not cancelled) and the window closes
    // after its clean-up: destroying it now would pull the window from under the task's loop.
    FCloseRequested = true;
    event->ignore();
    return;
  }
  event->accept();
}

void TUniversalExplorerForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FSplashShown || !FSplash) return;
  FSplashShown = true;
  FSplash->ShowSplash();
}

void TUniversalExplorerForm::CenterOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // Centre the outer frame; before the window is shown its frame is not known yet, so use the
  // classic one (4-pixel border, 30-pixel caption).
  const QSize frame(kClientWidth + 8, kClientHeight + 34);
  const QRect area = screen->availableGeometry();
  move(area.x() + (area.width() - frame.width()) / 2,
       area.y() + (area.height() - frame.height()) / 2);
}

QString TUniversalExplorerForm::StatusText() const { return StatusBar->StatusText(); }

void TUniversalExplorerForm::SetStatusText(const QString& text) { StatusBar->SetStatusText(text); }

QByteArray TUniversalExplorerForm::SelectedFolder() const {
  const QModelIndex current = FileTreeView->currentIndex();
  if (!current.isValid()) return {};
  QByteArray folder = QFile::encodeName(FileTreeModel->filePath(current));
  if (!folder.endsWith('/')) folder.append('/');
  return folder;
}

void TUniversalExplorerForm::MainControlBarTabChanged(int index) {
  FileListView->setVisible(index == 0);
  VisViewPanel->setVisible(index == 1);
}

void TUniversalExplorerForm::StatusBarClick() { FCancelState->Cancelled = true; }

void TUniversalExplorerForm::StatusBarDrawPanel(int panel, const QRect& rect) {
  if (panel != 1 || FProgressBar == nullptr) return;
  const QRect bounds = rect.adjusted(3, 3, -1, -1);
  if (FProgressBar->geometry() != bounds) FProgressBar->setGeometry(bounds);
}

// Handlers whose work is added with the operations they start.
void TUniversalExplorerForm::showThumbsBtnClick() {}
void TUniversalExplorerForm::fileShowThumbnailsMnuClick() {}
void TUniversalExplorerForm::visShowThumbnailsMnuClick() {}
