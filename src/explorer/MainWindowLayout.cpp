// Building the window's controls: the toolbar pager and its toolbars, the popup menus, the
// folder pane, the view pane and the status bar.

#include <QComboBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSlider>
#include <QTreeView>
#include <QVBoxLayout>

#include "controls/SplitterWnd.h"
#include "explorer/Colors.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListView.h"
#include "explorer/Glyphs.h"
#include "explorer/StatusBar.h"
#include "explorer/UniversalExplorerUnit.h"
#include "platform/Drives.h"

namespace {

// Glyphs of the six file-type items of the filter, in category order.
constexpr TGlyph kFileTypeGlyphs[kFileTypeCount] = {glAppFiles,   glOfficeFiles, glImageFiles,
                                                    glVideoFiles, glAudioFiles,  glArchiveFiles};

constexpr int kTrackBarWidth = 160;
constexpr int kSearchComboWidth = 170;

QWidget* LabelledTrackBar(QSlider* slider, const QString& label, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(4, 2, 4, 2);
  column->setSpacing(2);
  auto* caption = new QLabel(label, box);
  caption->setObjectName(slider->objectName() + QStringLiteral("Label"));
  caption->setBuddy(slider);
  QPalette palette = caption->palette();
  palette.setColor(QPalette::WindowText, QColor(0xF0, 0xF0, 0xF0));
  caption->setPalette(palette);
  column->addWidget(caption);
  column->addWidget(slider);
  column->addStretch(1);
  slider->setFixedWidth(kTrackBarWidth);
  return box;
}

QSlider* MakeTrackBar(const char* name, int minimum, int maximum, int position) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(QLatin1String(name));
  slider->setRange(minimum, maximum);
  slider->setValue(position);
  slider->setToolTip(QStringLiteral("Detail"));
  return slider;
}

}  // namespace

TGlyphButton* TUniversalExplorerForm::AddGlyphButton(TPagerToolBar* toolBar, const char* name,
                                                     const QString& caption, int glyph,
                                                     bool checkable) {
  auto* button = new TGlyphButton(QLatin1String(name), caption, GlyphIcon(TGlyph(glyph)));
  button->setCheckable(checkable);
  toolBar->AddWidget(button);
  return button;
}

QAction* TUniversalExplorerForm::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                                             int glyph) {
  QAction* item = menu->addAction(GlyphIcon(TGlyph(glyph)), caption);
  item->setObjectName(QLatin1String(name));
  return item;
}

void TUniversalExplorerForm::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  setCentralWidget(client);

  MainPanel = new QWidget(client);
  MainPanel->setObjectName(QStringLiteral("MainPanel"));
  auto* panelColumn = new QVBoxLayout(MainPanel);
  panelColumn->setContentsMargins(0, 0, 0, 0);
  panelColumn->setSpacing(0);
  column->addWidget(MainPanel, 1);

  // The status bar is MainPanel's sibling: disabling MainPanel leaves it, and its Cancel
  // panel, usable.
  StatusBar = new TStatusBar(client);
  column->addWidget(StatusBar);

  CreatePopupMenus();
  CreateToolBarPages();
  panelColumn->addWidget(MainControlBar);

  MainSplitPanel = new TSplitterWnd(MainPanel);
  MainSplitPanel->setObjectName(QStringLiteral("MainSplitPanel"));
  MainSplitPanel->BeginLoading();
  MainSplitPanel->SetOrientation(swVertical);
  MainSplitPanel->SetThickness(6);
  MainSplitPanel->SetCursorVert(Qt::SplitHCursor);
  MainSplitPanel->SetCursorHorz(Qt::SplitVCursor);
  MainSplitPanel->SetBarStyle(sbCheckered);
  // The bar gaps show the splitter's own colour, the button-shadow colour.
  MainSplitPanel->setAutoFillBackground(true);
  QPalette splitterPalette = MainSplitPanel->palette();
  splitterPalette.setColor(QPalette::Window, splitterPalette.color(QPalette::Mid));
  MainSplitPanel->setPalette(splitterPalette);
  CreateFolderPane();
  CreateViewPane();
  MainSplitPanel->EndLoading();
  panelColumn->addWidget(MainSplitPanel, 1);
}

void TUniversalExplorerForm::CreatePopupMenus() {
  FileTypePopup = new QMenu(this);
  FileTypePopup->setObjectName(QStringLiteral("FileTypePopup"));
  for (int category = 0; category < kFileTypeCount; ++category) {
    const auto index = static_cast<std::size_t>(category);
    QAction* item = AddMenuItem(FileTypePopup, kFileTypeItemNames[index],
                                QLatin1String(kFileTypeCaptions[index]), kFileTypeGlyphs[index]);
    item->setCheckable(true);
    item->setChecked(true);
    FileTypeItems[category] = item;
  }

  FileListPopup = new QMenu(this);
  FileListPopup->setObjectName(QStringLiteral("FileListPopup"));
  connect(AddMenuItem(FileListPopup, "fileCpToClipboardMnu", QStringLiteral("List to Clipboard"),
                      glListToClipboard),
          &QAction::triggered, this, [this] { cpToClipboardBtnClick(); });
  connect(
      AddMenuItem(FileListPopup, "fileCopyCheckedMnu", QStringLiteral("Copy Files"), glCopyFiles),
      &QAction::triggered, this, [this] { copyCheckedBtnClick(); });
  connect(AddMenuItem(FileListPopup, "fileDeleteCheckedMnu", QStringLiteral("Delete Files"),
                      glDeleteFiles),
          &QAction::triggered, this, [this] { deleteCheckedBtnClick(); });
  FileListPopup->addSeparator();
  fileShowThumbnailsMnu = AddMenuItem(FileListPopup, "fileShowThumbnailsMnu",
                                      QStringLiteral("Show Thumbnails"), glShowThumbs);
  fileShowThumbnailsMnu->setCheckable(true);
  connect(fileShowThumbnailsMnu, &QAction::triggered, this,
          [this] { fileShowThumbnailsMnuClick(); });
  connect(AddMenuItem(FileListPopup, "fileShowSelInTimelineViewMnu",
                      QStringLiteral("Show Selected in Timeline"), glShowSelected),
          &QAction::triggered, this, [this] { fileShowSelInTimelineViewMnuClick(); });

  VisPopup = new QMenu(this);
  VisPopup->setObjectName(QStringLiteral("VisPopup"));
  connect(AddMenuItem(VisPopup, "visSelectStartMnu", QStringLiteral("Select Items"), glSelectItems),
          &QAction::triggered, this, [this] { visSelectStartMnuClick(); });
  VisPopup->addSeparator();
  connect(AddMenuItem(VisPopup, "visZoomToFitMnu", QStringLiteral("Zoom to Fit"), glZoomToFit),
          &QAction::triggered, this, [this] { visZoomToFitMnuClick(); });
  VisPopup->addSeparator();
  connect(AddMenuItem(VisPopup, "visCpToClipboardMnu", QStringLiteral("List to Clipboard"),
                      glListToClipboard),
          &QAction::triggered, this, [this] { cpToClipboardBtnClick(); });
  connect(AddMenuItem(VisPopup, "visCopyCheckedMnu", QStringLiteral("Copy Files"), glCopyFiles),
          &QAction::triggered, this, [this] { copyCheckedBtnClick(); });
  connect(
      AddMenuItem(VisPopup, "visDeleteCheckedMnu", QStringLiteral("Delete Files"), glDeleteFiles),
      &QAction::triggered, this, [this] { deleteCheckedBtnClick(); });
  VisPopup->addSeparator();
  visShowThumbnailsMnu = AddMenuItem(VisPopup, "visShowThumbnailsMnu",
                                     QStringLiteral("Show Thumbnails"), glShowThumbs);
  visShowThumbnailsMnu->setCheckable(true);
  connect(visShowThumbnailsMnu, &QAction::triggered, this, [this] { visShowThumbnailsMnuClick(); });
  connect(AddMenuItem(VisPopup, "visShowSelInListViewMnu", QStringLiteral("Show Selected in List"),
                      glShowSelected),
          &QAction::triggered, this, [this] { visShowSelInListViewMnuClick(); });
}

void TUniversalExplorerForm::CreateToolBarPages() {
  MainControlBar = new TControlPager(MainPanel);
  MainControlBar->setObjectName(QStringLiteral("MainControlBar"));

  FilesTBPage = new QWidget;
  FilesTBPage->setObjectName(QStringLiteral("FilesTBPage"));
  MainControlBar->AddPage(FilesTBPage, GlyphIcon(glExplorePage), QStringLiteral("Explore"));
  VisPage = new QWidget;
  VisPage->setObjectName(QStringLiteral("VisPage"));
  MainControlBar->AddPage(VisPage, GlyphIcon(glTimelinePage), QStringLiteral("Timeline"));

  filesToolBar = new TPagerToolBar(QStringLiteral("filesToolBar"), QStringLiteral("Files"));
  rcFoldersBtn =
      AddGlyphButton(filesToolBar, "rcFoldersBtn", QStringLiteral("Flat View"), glFlatView, true);
  showHiddenBtn = AddGlyphButton(filesToolBar, "showHiddenBtn", QStringLiteral("Hidden or System"),
                                 glHiddenFiles, true);
  showProtectedBtn = AddGlyphButton(filesToolBar, "showProtectedBtn",
                                    QStringLiteral("Protected Files"), glProtectedFiles, true);
  showOSFoldersBtn = AddGlyphButton(filesToolBar, "showOSFoldersBtn", QStringLiteral("OS Folders"),
                                    glOSFolders, true);
  fileTypeFilterBtn =
      AddGlyphButton(filesToolBar, "fileTypeFilterBtn", QStringLiteral("Filter"), glFilter, false);
  fileTypeFilterBtn->setMenu(FileTypePopup);
  fileTypeFilterBtn->setPopupMode(QToolButton::InstantPopup);
  showHashesBtn = AddGlyphButton(filesToolBar, "showHashesBtn", QStringLiteral("Show Hashes"),
                                 glShowHashes, true);
  showThumbsBtn = AddGlyphButton(filesToolBar, "showThumbsBtn", QStringLiteral("Show Thumbs"),
                                 glShowThumbs, true);
  selectDupesBtn = AddGlyphButton(filesToolBar, "selectDupesBtn", QStringLiteral("Select Dupes"),
                                  glSelectDupes, false);
  selectAllBtn = AddGlyphButton(filesToolBar, "selectAllBtn", QStringLiteral("Select All"),
                                glSelectAll, false);
  MainControlBar->AddToolBar(FilesTBPage, filesToolBar);
  for (TGlyphButton* button : {rcFoldersBtn, showHiddenBtn, showProtectedBtn, showOSFoldersBtn})
    connect(button, &QToolButton::clicked, this, [this] { rcFoldersBtnClick(); });
  connect(showHashesBtn, &QToolButton::clicked, this, [this] { showHashesBtnClick(); });
  connect(showThumbsBtn, &QToolButton::clicked, this, [this] { showThumbsBtnClick(); });
  connect(selectDupesBtn, &QToolButton::clicked, this, [this] { selectDupesBtnClick(); });
  connect(selectAllBtn, &QToolButton::clicked, this, [this] { selectAllBtnClick(); });

  ActToolBar = new TPagerToolBar(QStringLiteral("ActToolBar"), QStringLiteral("Actions"));
  cpToClipboardBtn = AddGlyphButton(ActToolBar, "cpToClipboardBtn",
                                    QStringLiteral("List to Clipboard"), glListToClipboard, false);
  copyCheckedBtn = AddGlyphButton(ActToolBar, "copyCheckedBtn", QStringLiteral("Copy Files"),
                                  glCopyFiles, false);
  deleteCheckedBtn = AddGlyphButton(ActToolBar, "deleteCheckedBtn", QStringLiteral("Delete Files"),
                                    glDeleteFiles, false);
  MainControlBar->AddToolBar(FilesTBPage, ActToolBar);
  connect(cpToClipboardBtn, &QToolButton::clicked, this, [this] { cpToClipboardBtnClick(); });
  connect(copyCheckedBtn, &QToolButton::clicked, this, [this] { copyCheckedBtnClick(); });
  connect(deleteCheckedBtn, &QToolButton::clicked, this, [this] { deleteCheckedBtnClick(); });

  SrchToolBar = new TPagerToolBar(QStringLiteral("SrchToolBar"), QStringLiteral("Search"));
  srchCombo = new QComboBox;
  srchCombo->setObjectName(QStringLiteral("srchCombo"));
  srchCombo->setEditable(true);
  srchCombo->setMaxVisibleItems(10);
  srchCombo->setCompleter(nullptr);
  srchCombo->setInsertPolicy(QComboBox::NoInsert);
  srchCombo->setFixedWidth(kSearchComboWidth);
  SrchToolBar->AddWidget(srchCombo);
  firstSrchBtn =
      AddGlyphButton(SrchToolBar, "firstSrchBtn", QStringLiteral("Find First"), glFindFirst, false);
  firstSrchBtn->setProperty("tag", 0);
  nextSrchBtn =
      AddGlyphButton(SrchToolBar, "nextSrchBtn", QStringLiteral("Find Next"), glFindNext, false);
  nextSrchBtn->setProperty("tag", 1);
  MainControlBar->AddToolBar(FilesTBPage, SrchToolBar);
  for (TGlyphButton* button : {firstSrchBtn, nextSrchBtn}) {
    connect(button, &QToolButton::clicked, this,
            [this, button] { srchBtnClick(button->property("tag").toInt()); });
  }

  TimelineViewToolBar =
      new TPagerToolBar(QStringLiteral("TimelineViewToolBar"), QStringLiteral("Timeline View"));
  timelineScaleTrackBar = MakeTrackBar("timelineScaleTrackBar", 1, 50000, 300);
  timelineSizeTrackbar = MakeTrackBar("timelineSizeTrackbar", 5, 100, 10);
  TimelineViewToolBar->AddWidget(
      LabelledTrackBar(timelineScaleTrackBar, QStringLiteral("Scale"), TimelineViewToolBar));
  TimelineViewToolBar->AddWidget(
      LabelledTrackBar(timelineSizeTrackbar, QStringLiteral("Item Size"), TimelineViewToolBar));
  MainControlBar->AddToolBar(VisPage, TimelineViewToolBar);
  connect(timelineScaleTrackBar, &QSlider::valueChanged, this,
          [this] { timelineScaleTrackBarChange(); });
  connect(timelineSizeTrackbar, &QSlider::valueChanged, this,
          [this] { timelineSizeTrackbarChange(); });

  MainControlBar->SetCurrentIndex(0);
  connect(MainControlBar, &TControlPager::CurrentChanged, this,
          [this](int index) { MainControlBarTabChanged(index); });
}

void TUniversalExplorerForm::CreateFolderPane() {
  TVPane = new TPane;
  TVPane->setObjectName(QStringLiteral("TVPane"));
  TVPane->SetPaneSize(246);
  TVPane->SetMinPaneSize(30);
  TVPane->SetSplitterWnd(MainSplitPanel);
  TVPane->setAutoFillBackground(true);
  TVPane->setBackgroundRole(QPalette::Base);
  auto* column = new QVBoxLayout(TVPane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  driveCombo = new QComboBox(TVPane);
  driveCombo->setObjectName(QStringLiteral("driveCombo"));
  for (const QByteArray& drive : AvailableDrives())
    driveCombo->addItem(QFile::decodeName(drive), drive);
  column->addWidget(driveCombo);

  FileTreeModel = new QFileSystemModel(this);
  FileTreeModel->setObjectName(QStringLiteral("FileTreeModel"));
  FileTreeModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  FileTreeModel->setReadOnly(true);
  FileTreeModel->setRootPath(QStringLiteral("/"));

  FileTreeView = new QTreeView(TVPane);
  FileTreeView->setObjectName(QStringLiteral("FileTreeView"));
  FileTreeView->setModel(FileTreeModel);
  FileTreeView->setHeaderHidden(true);
  for (int section = 1; section < FileTreeModel->columnCount(); ++section)
    FileTreeView->setColumnHidden(section, true);
  FileTreeView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  FileTreeView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // A long folder name scrolls sideways rather than being cut.
  FileTreeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  FileTreeView->header()->setStretchLastSection(false);
  FileTreeView->setUniformRowHeights(true);
  FileTreeView->setFrameShape(QFrame::NoFrame);
  column->addWidget(FileTreeView, 1);
  connect(FileTreeView, &QTreeView::clicked, this, [this] { FileTreeViewClick(); });
  FileTreeView->installEventFilter(this);
  connect(driveCombo, &QComboBox::activated, this, [this](int index) { DriveComboChange(index); });
  DriveComboChange(0);
}

void TUniversalExplorerForm::DriveComboChange(int index) {
  const QByteArray drive = driveCombo->itemData(index).toByteArray();
  if (drive.isEmpty()) return;
  const QModelIndex folder = FileTreeModel->index(QFile::decodeName(drive));
  if (!folder.isValid()) return;
  FileTreeView->setCurrentIndex(folder);
  FileTreeView->expand(folder);
  FileTreeView->scrollTo(folder, QAbstractItemView::PositionAtTop);
}

void TUniversalExplorerForm::CreateViewPane() {
  VisPane = new TPane;
  VisPane->setObjectName(QStringLiteral("VisPane"));
  VisPane->SetPaneSize(746);
  VisPane->SetMinPaneSize(30);
  VisPane->SetSplitterWnd(MainSplitPanel);
  VisPane->setAutoFillBackground(true);
  VisPane->setBackgroundRole(QPalette::Base);
  auto* column = new QVBoxLayout(VisPane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  FileListView = new TFileListView(VisPane);
  FileListView->setObjectName(QStringLiteral("FileListView"));
  FileListView->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(FileListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    FileListPopup->popup(FileListView->viewport()->mapToGlobal(at));
  });
  column->addWidget(FileListView, 1);

  VisViewPanel = new QWidget(VisPane);
  VisViewPanel->setObjectName(QStringLiteral("VisViewPanel"));
  VisViewPanel->setAutoFillBackground(true);
  // Explicit: a child takes its parent's role otherwise, and the pane paints with Base.
  VisViewPanel->setBackgroundRole(QPalette::Window);
  QPalette dark = VisViewPanel->palette();
  dark.setColor(QPalette::Window, QColor(0, 24, 63));
  VisViewPanel->setPalette(dark);
  VisViewPanel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VisViewPanel, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { VisPopup->popup(VisViewPanel->mapToGlobal(at)); });
  VisViewPanel->hide();
  column->addWidget(VisViewPanel, 1);
}

void TUniversalExplorerForm::ApplyStyleColours() {
  // Selection: the light panel's end colour while the list has the focus, a lighter grey
  // otherwise; the text on it stays readable in both.
  QPalette palette = FileListView->palette();
  palette.setColor(QPalette::Active, QPalette::Highlight, QColorOf(kLightPanelEndColor));
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   QColorOf(LightenColor(kLightPanelColor, 40)));
  palette.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
  FileListView->setPalette(palette);
}
