#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSlider>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <vector>

#include "controls/SplitterWnd.h"
#include "explorer/Colors.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/FileNodeData.h"
#include "explorer/SplashBox.h"
#include "explorer/StatusBar.h"
#include "explorer/UniversalExplorerUnit.h"

class TMainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void windowStartsEmptyAndCentredWithFocusOnDrives();
  void everyNamedControlIsFound();
  void toolBarButtons_data();
  void toolBarButtons();
  void pagerPagesAndToolBars();
  void trackBars();
  void popupMenus_data();
  void popupMenus();
  void fileTypeFilterStartsAllMarked();
  void statusBarPanels();
  void splitterGeometry();
  void pageSwitchKeepsRowsSelectionAndSort();
  void statusBarCancelsWhileMainPanelIsDisabled();
  void statusBarClickWhileIdleChangesNothingVisible();
  void driveBoxMovesTheFolderTree();
  void listContextMenuOpensFileListPopup();
  void splashDoesNotTakeFocusAndClosesOnClick();
  void lightenColor_data();
  void lightenColor();
  void closeHidesSplashAndEnds();

 private:
  template <typename T>
  T* Find(const char* name) const {
    return FWindow->findChild<T*>(QLatin1String(name));
  }

  std::unique_ptr<TUniversalExplorerForm> FWindow;
};

void TMainWindowTest::init() {
  FWindow = std::make_unique<TUniversalExplorerForm>();
  FWindow->show();
  QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TMainWindowTest::cleanup() { FWindow.reset(); }

void TMainWindowTest::windowStartsEmptyAndCentredWithFocusOnDrives() {
  QCOMPARE(FWindow->windowTitle(), QStringLiteral("Veskora"));
  QCOMPARE(FWindow->size(), QSize(992, 556));
  QCOMPARE(FWindow->focusWidget(), static_cast<QWidget*>(FWindow->driveCombo));
  QCOMPARE(FWindow->FileListView->Model()->rowCount(), 0);
  QCOMPARE(FWindow->StatusText(), QString());
  QVERIFY(FWindow->MainPanel->isEnabled());
  QVERIFY(!FWindow->CancelState()->Cancelled);
  QCOMPARE(FWindow->FSearchNode, nullptr);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint centre = FWindow->geometry().center();
  QVERIFY2(std::abs(centre.x() - area.center().x()) <= 8 &&
               std::abs(centre.y() - area.center().y()) <= 20,
           qPrintable(QStringLiteral("window centre %1,%2").arg(centre.x()).arg(centre.y())));
}

void TMainWindowTest::everyNamedControlIsFound() {
  const char* names[] = {"MainPanel",
                         "MainControlBar",
                         "FilesTBPage",
                         "VisPage",
                         "filesToolBar",
                         "ActToolBar",
                         "SrchToolBar",
                         "TimelineViewToolBar",
                         "MainSplitPanel",
                         "TVPane",
                         "VisPane",
                         "driveCombo",
                         "FileTreeView",
                         "FileListView",
                         "VisViewPanel",
                         "StatusBar",
                         "FileListPopup",
                         "VisPopup",
                         "FileTypePopup",
                         "srchCombo",
                         "timelineScaleTrackBar",
                         "timelineSizeTrackbar",
                         "FProgressBar"};
  for (const char* name : names) QVERIFY2(Find<QObject>(name) != nullptr, name);

  // The status bar must stay outside the panel that long operations disable.
  QVERIFY(!FWindow->MainPanel->isAncestorOf(FWindow->StatusBar));
  QVERIFY(FWindow->MainPanel->isAncestorOf(FWindow->MainSplitPanel));
  QVERIFY(FWindow->MainPanel->isAncestorOf(FWindow->MainControlBar));

  auto* search = Find<QComboBox>("srchCombo");
  QVERIFY(search->isEditable());
  QCOMPARE(search->maxVisibleItems(), 10);
  QCOMPARE(search->completer(), nullptr);

  QVERIFY(FWindow->FileListView->isVisible());
  QVERIFY(!FWindow->VisViewPanel->isVisible());
  QCOMPARE(FWindow->VisViewPanel->palette().color(QPalette::Window), QColor(0, 24, 63));
}

void TMainWindowTest::toolBarButtons_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("toolBar");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("checkable");

  const struct {
    const char* Name;
    const char* ToolBar;
    const char* Caption;
    bool Checkable;
  } buttons[] = {
      {"rcFoldersBtn", "filesToolBar", "Flat View", true},
      {"showHiddenBtn", "filesToolBar", "Hidden or System", true},
      {"showProtectedBtn", "filesToolBar", "Protected Files", true},
      {"showOSFoldersBtn", "filesToolBar", "OS Folders", true},
      {"fileTypeFilterBtn", "filesToolBar", "Filter", false},
      {"showHashesBtn", "filesToolBar", "Show Hashes", true},
      {"showThumbsBtn", "filesToolBar", "Show Thumbs", true},
      {"selectDupesBtn", "filesToolBar", "Select Dupes", false},
      {"selectAllBtn", "filesToolBar", "Select All", false},
      {"cpToClipboardBtn", "ActToolBar", "List to Clipboard", false},
      {"copyCheckedBtn", "ActToolBar", "Copy Files", false},
      {"deleteCheckedBtn", "ActToolBar", "Delete Files", false},
      {"firstSrchBtn", "SrchToolBar", "Find First", false},
      {"nextSrchBtn", "SrchToolBar", "Find Next", false},
  };
  for (const auto& button : buttons) {
    QTest::newRow(button.Name) << QString::fromLatin1(button.Name)
                               << QString::fromLatin1(button.ToolBar)
                               << QString::fromLatin1(button.Caption) << button.Checkable;
  }
}

void TMainWindowTest::toolBarButtons() {
  QFETCH(QString, name);
  QFETCH(QString, toolBar);
  QFETCH(QString, caption);
  QFETCH(bool, checkable);

  auto* button = FWindow->findChild<QToolButton*>(name);
  QVERIFY(button != nullptr);
  QVERIFY(FWindow->findChild<QWidget*>(toolBar)->isAncestorOf(button));
  QCOMPARE(button->text(), caption);
  QCOMPARE(button->size(), QSize(50, 50));
  QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  QVERIFY(!button->icon().isNull());
  QCOMPARE(button->isCheckable(), checkable);
  QVERIFY(!button->isChecked());
  if (checkable) {  // check buttons stay down until pressed again
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isChecked());
  }
  if (name == QLatin1String("fileTypeFilterBtn")) {
    QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
    QCOMPARE(button->menu(), FWindow->FileTypePopup);
  } else {
    QCOMPARE(button->menu(), nullptr);
  }
  if (name == QLatin1String("firstSrchBtn")) QCOMPARE(button->property("tag").toInt(), 0);
  if (name == QLatin1String("nextSrchBtn")) QCOMPARE(button->property("tag").toInt(), 1);
}

void TMainWindowTest::pagerPagesAndToolBars() {
  TControlPager* pager = FWindow->MainControlBar;
  QCOMPARE(pager->height(), 83);
  QCOMPARE(pager->PageCount(), 2);
  QCOMPARE(pager->CurrentIndex(), 0);
  QCOMPARE(pager->PageCaption(0), QStringLiteral("Explore"));
  QCOMPARE(pager->PageCaption(1), QStringLiteral("Timeline"));
  QCOMPARE(pager->Page(0), FWindow->FilesTBPage);
  QCOMPARE(pager->Page(1), FWindow->VisPage);

  const struct {
    TPagerToolBar* ToolBar;
    QWidget* Page;
    const char* Caption;
  } toolBars[] = {{FWindow->filesToolBar, FWindow->FilesTBPage, "Files"},
                  {FWindow->ActToolBar, FWindow->FilesTBPage, "Actions"},
                  {FWindow->SrchToolBar, FWindow->FilesTBPage, "Search"},
                  {FWindow->TimelineViewToolBar, FWindow->VisPage, "Timeline View"}};
  for (const auto& entry : toolBars) {
    QVERIFY(entry.Page->isAncestorOf(entry.ToolBar));
    QCOMPARE(entry.ToolBar->Caption(), QLatin1String(entry.Caption));
    // Everything on a page must fit in the pager's height.
    QVERIFY2(entry.ToolBar->sizeHint().height() <= entry.Page->height() || !entry.Page->isVisible(),
             entry.Caption);
  }
  // Files, Actions and Search sit side by side, in that order.
  QVERIFY(FWindow->filesToolBar->x() < FWindow->ActToolBar->x());
  QVERIFY(FWindow->ActToolBar->x() < FWindow->SrchToolBar->x());
}

void TMainWindowTest::trackBars() {
  QSlider* scale = FWindow->timelineScaleTrackBar;
  QSlider* size = FWindow->timelineSizeTrackbar;
  QCOMPARE(scale->orientation(), Qt::Horizontal);
  QCOMPARE(std::pair(scale->minimum(), scale->maximum()), std::pair(1, 50000));
  QCOMPARE(scale->value(), 300);
  QCOMPARE(std::pair(size->minimum(), size->maximum()), std::pair(5, 100));
  QCOMPARE(size->value(), 10);
  QCOMPARE(scale->toolTip(), QStringLiteral("Detail"));
  QCOMPARE(size->toolTip(), QStringLiteral("Detail"));
  QVERIFY(FWindow->TimelineViewToolBar->isAncestorOf(scale));
  QVERIFY(FWindow->TimelineViewToolBar->isAncestorOf(size));
  QCOMPARE(Find<QLabel>("timelineScaleTrackBarLabel")->text(), QStringLiteral("Scale"));
  QCOMPARE(Find<QLabel>("timelineSizeTrackbarLabel")->text(), QStringLiteral("Item Size"));
}

void TMainWindowTest::popupMenus_data() {
  QTest::addColumn<QString>("menu");
  QTest::addColumn<QStringList>("items");  // "-" is a separator; "*" marks a checkable item

  QTest::newRow("FileListPopup") << QStringLiteral("FileListPopup")
                                 << QStringList{"List to Clipboard", "Copy Files",
                                                "Delete Files",      "-",
                                                "Show Thumbnails*",  "Show Selected in Timeline"};
  QTest::newRow("VisPopup") << QStringLiteral("VisPopup")
                            << QStringList{"Select Items",      "-",
                                           "Zoom to Fit",       "-",
                                           "List to Clipboard", "Copy Files",
                                           "Delete Files",      "-",
                                           "Show Thumbnails*",  "Show Selected in List"};
  QTest::newRow("FileTypePopup") << QStringLiteral("FileTypePopup")
                                 << QStringList{"Application/System Files*",
                                                "Office/Document Files*",
                                                "Image Files*",
                                                "Video Files*",
                                                "Audio Files*",
                                                "Archive/Store Files*"};
}

void TMainWindowTest::popupMenus() {
  QFETCH(QString, menu);
  QFETCH(QStringList, items);
  auto* popup = FWindow->findChild<QMenu*>(menu);
  QVERIFY(popup != nullptr);
  QStringList actual;
  for (const QAction* item : popup->actions()) {
    if (item->isSeparator()) {
      actual += QStringLiteral("-");
      continue;
    }
    QVERIFY2(!item->objectName().isEmpty(), qPrintable(item->text()));
    actual += item->text() + (item->isCheckable() ? QStringLiteral("*") : QString());
  }
  QCOMPARE(actual, items);
}

void TMainWindowTest::fileTypeFilterStartsAllMarked() {
  const char* names[] = {
      "ApplicationSystemFiles1", "OfficeFiles1", "ImageFiles1", "VideoFiles1", "AudioFiles1",
      "ArchiveStoreFiles1"};
  for (int category = 0; category < TUniversalExplorerForm::kFileTypeCount; ++category) {
    QAction* item = FWindow->FileTypeItems[category];
    QCOMPARE(item->objectName(), QLatin1String(names[category]));
    QVERIFY(item->isChecked());
  }
  // An item toggles its own mark and nothing else.
  FWindow->FileTypeItems[2]->trigger();
  QVERIFY(!FWindow->FileTypeItems[2]->isChecked());
  QVERIFY(FWindow->FileTypeItems[1]->isChecked() && FWindow->FileTypeItems[3]->isChecked());
}

void TMainWindowTest::statusBarPanels() {
  TStatusBar* bar = FWindow->StatusBar;
  QCOMPARE(bar->height(), 26);
  QCOMPARE(bar->y() + bar->height(), FWindow->centralWidget()->height());
  const int widths[] = {560, 100, 80, 20};
  int left = 0;
  for (int panel = 0; panel < TStatusBar::kPanelCount; ++panel) {
    QCOMPARE(bar->PanelRect(panel), QRect(left, 0, widths[panel], 26));
    left += widths[panel];
  }
  QCOMPARE(Find<QLabel>("StatusPanel2")->text(), QStringLiteral("Cancel"));
  QVERIFY(bar->PanelRect(2).contains(Find<QLabel>("StatusPanel2")->geometry()));

  QProgressBar* progress = FWindow->FProgressBar;
  QCOMPARE(progress->parentWidget(), static_cast<QWidget*>(bar));
  QCOMPARE(std::pair(progress->minimum(), progress->maximum()), std::pair(0, 100));
  QCOMPARE(progress->value(), 0);
  // Panel 1 shrunk by 3 at the left and top, 1 at the right and bottom; 4 less than the bar.
  QCOMPARE(progress->geometry(), QRect(563, 3, 96, 22));

  FWindow->SetStatusText(QStringLiteral("Viewing 3 files (1536 bytes)."));
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 3 files (1536 bytes)."));
  QCOMPARE(Find<QLabel>("StatusPanel0")->text(), FWindow->StatusText());
}

void TMainWindowTest::splitterGeometry() {
  QCOMPARE(FWindow->MainSplitPanel->width(), 992);
  QCOMPARE(FWindow->MainSplitPanel->PaneCount(), 2);
  QCOMPARE(FWindow->MainSplitPanel->Pane(0), FWindow->TVPane);
  QCOMPARE(FWindow->MainSplitPanel->Pane(1), FWindow->VisPane);
  const int height = FWindow->MainSplitPanel->height();
  QVERIFY(height > 0);
  QTRY_COMPARE(FWindow->TVPane->geometry(), QRect(0, 0, 243, height));
  QCOMPARE(FWindow->VisPane->geometry(), QRect(249, 0, 743, height));
  QCOMPARE(FWindow->TVPane->PaneSize(), 246);
  QCOMPARE(FWindow->VisPane->PaneSize(), 746);
  QVERIFY(FWindow->TVPane->isAncestorOf(FWindow->driveCombo));
  QVERIFY(FWindow->TVPane->isAncestorOf(FWindow->FileTreeView));
  QVERIFY(FWindow->driveCombo->y() < FWindow->FileTreeView->y());
  QVERIFY(FWindow->VisPane->isAncestorOf(FWindow->FileListView));
  QVERIFY(FWindow->VisPane->isAncestorOf(FWindow->VisViewPanel));
}

void TMainWindowTest::pageSwitchKeepsRowsSelectionAndSort() {
  TFileListModel* model = FWindow->FileListView->Model();
  std::vector<std::unique_ptr<TFileNodeData>> batch;
  const std::pair<const char*, std::int64_t> files[] = {
      {"b.txt", 300}, {"a.jpg", 100}, {"c.doc", 200}};
  for (const auto& [name, size] : files) {
    auto record = MakeFileRecord(QByteArray("/tmp/") + name);
    record->Size = size;
    batch.push_back(std::move(record));
  }
  model->AppendRows(std::move(batch));
  QCOMPARE(model->rowCount(), 3);
  TFileNodeData* chosen = model->Record(2);  // c.doc
  FWindow->FileListView->selectionModel()->select(
      model->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  model->SortBy(fcSize, Qt::AscendingOrder);

  const auto check = [&] {
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->Record(0)->Name().toByteArray(), QByteArray("a.jpg"));
    QCOMPARE(model->Record(1)->Name().toByteArray(), QByteArray("c.doc"));
    QCOMPARE(model->Record(2)->Name().toByteArray(), QByteArray("b.txt"));
    QCOMPARE(model->SortColumn(), int(fcSize));
    QCOMPARE(FWindow->FileListView->SelectedCount(), 1);
    QCOMPARE(FWindow->FileListView->FirstSelected(), chosen);
  };
  check();

  for (int round = 0; round < 2; ++round) {
    QTest::mouseClick(FWindow->MainControlBar->TabBar(), Qt::LeftButton, {},
                      FWindow->MainControlBar->TabBar()->tabRect(1).center());
    QCOMPARE(FWindow->MainControlBar->CurrentIndex(), 1);
    QVERIFY(!FWindow->FileListView->isVisible());
    QVERIFY(FWindow->VisViewPanel->isVisible());
    QTRY_COMPARE(FWindow->VisViewPanel->size(), FWindow->VisPane->size());
    QCOMPARE(FWindow->VisViewPanel->grab().toImage().pixelColor(5, 5), QColor(0, 24, 63));
    QVERIFY(FWindow->TimelineViewToolBar->isVisible());
    QVERIFY(!FWindow->filesToolBar->isVisible());
    check();

    FWindow->MainControlBar->SetCurrentIndex(0);
    QVERIFY(FWindow->FileListView->isVisible());
    QVERIFY(!FWindow->VisViewPanel->isVisible());
    QVERIFY(FWindow->filesToolBar->isVisible());
    check();
  }
}

void TMainWindowTest::statusBarCancelsWhileMainPanelIsDisabled() {
  FWindow->MainPanel->setEnabled(false);
  for (QToolButton* button : FWindow->MainPanel->findChildren<QToolButton*>())
    QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
  QVERIFY(!FWindow->driveCombo->isEnabled());
  QVERIFY(!FWindow->FileListView->isEnabled());
  QVERIFY(FWindow->StatusBar->isEnabled());

  // Wherever the click lands on the bar: the Cancel panel, the text, the progress bar.
  const QPoint points[] = {
      FWindow->StatusBar->PanelRect(2).center(), FWindow->StatusBar->PanelRect(0).center(),
      FWindow->StatusBar->PanelRect(1).center(), FWindow->StatusBar->PanelRect(3).center()};
  for (const QPoint& point : points) {
    FWindow->CancelState()->Cancelled = false;
    QWidget* target = FWindow->StatusBar->childAt(point);
    if (target == nullptr) target = FWindow->StatusBar;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(FWindow->StatusBar, point));
    QVERIFY2(FWindow->CancelState()->Cancelled, qPrintable(target->objectName()));
  }
  FWindow->MainPanel->setEnabled(true);
}

void TMainWindowTest::statusBarClickWhileIdleChangesNothingVisible() {
  FWindow->SetStatusText(QStringLiteral("Viewing 0 files (0 bytes)."));
  QTest::mouseClick(FWindow->StatusBar, Qt::LeftButton, {},
                    FWindow->StatusBar->PanelRect(2).center());
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 0 files (0 bytes)."));
  QCOMPARE(FWindow->FProgressBar->value(), 0);
  QVERIFY(FWindow->MainPanel->isEnabled());
  QCOMPARE(FWindow->MainControlBar->CurrentIndex(), 0);
}

void TMainWindowTest::driveBoxMovesTheFolderTree() {
  QComboBox* drives = FWindow->driveCombo;
  QVERIFY(drives->count() >= 1);
  QCOMPARE(drives->itemText(0), QStringLiteral("/"));
  QCOMPARE(FWindow->SelectedFolder(), QByteArray("/"));
  const int home = drives->findData(QFile::encodeName(QDir::homePath()));
  QVERIFY(home >= 0);
  if (QDir::homePath() == QLatin1String("/")) QSKIP("the home folder is the root here");
  emit drives->activated(home);
  QCOMPARE(FWindow->SelectedFolder(), QFile::encodeName(QDir::homePath()) + '/');
  emit drives->activated(0);
  QCOMPARE(FWindow->SelectedFolder(), QByteArray("/"));
}

void TMainWindowTest::listContextMenuOpensFileListPopup() {
  emit FWindow->FileListView->customContextMenuRequested(QPoint(10, 10));
  QTRY_VERIFY(FWindow->FileListPopup->isVisible());
  FWindow->FileListPopup->hide();
  FWindow->MainControlBar->SetCurrentIndex(1);
  emit FWindow->VisViewPanel->customContextMenuRequested(QPoint(10, 10));
  QTRY_VERIFY(FWindow->VisPopup->isVisible());
  FWindow->VisPopup->hide();
}

void TMainWindowTest::splashDoesNotTakeFocusAndClosesOnClick() {
  auto* splash = FWindow->FSplash.get();
  QVERIFY(splash != nullptr);
  QVERIFY(splash->isVisible());
  QVERIFY(splash->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
  QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
  QVERIFY(splash->testAttribute(Qt::WA_ShowWithoutActivating));
  QVERIFY(splash->VersionText().contains(QCoreApplication::applicationVersion()));
  QCOMPARE(FWindow->focusWidget(), static_cast<QWidget*>(FWindow->driveCombo));
  QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(20, 20));
  QVERIFY(!splash->isVisible());
}

void TMainWindowTest::lightenColor_data() {
  QTest::addColumn<uint>("color");
  QTest::addColumn<int>("amount");
  QTest::addColumn<uint>("expected");
  QTest::newRow("light panel colour") << 4276545u << 40 << 6908265u;
  QTest::newRow("each channel clamps at 255") << 0xF0FE10u << 40 << 0xFFFF38u;
  QTest::newRow("negative amount clamps at 0") << 0x102030u << -0x25 << 0x00000Bu;
  QTest::newRow("zero keeps the colour") << 3158063u << 0 << 3158063u;
  QTest::newRow("bits above blue are dropped") << 0xFF000000u << 1 << 0x010101u;
}

void TMainWindowTest::lightenColor() {
  QFETCH(uint, color);
  QFETCH(int, amount);
  QFETCH(uint, expected);
  QCOMPARE(uint(LightenColor(color, amount)), expected);
  // Red is in the low byte.
  QCOMPARE(QColorOf(6512478), QColor(0x5E, 0x5F, 0x63));
}

void TMainWindowTest::closeHidesSplashAndEnds() {
  QVERIFY(FWindow->close());
  QVERIFY(!FWindow->isVisible());
  QVERIFY(!FWindow->FSplash->isVisible());
}

QTEST_MAIN(TMainWindowTest)
#include "tst_mainwindow.moc"
