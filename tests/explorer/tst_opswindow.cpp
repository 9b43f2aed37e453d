// Digests, duplicates, the file commands and the search through the real window, offscreen, on
// real temporary files.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QTreeView>
#include <QtTest>

#include <unistd.h>

#include <functional>
#include <memory>
#include <utility>

#include "common/TestDir.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/StatusBar.h"
#include "explorer/UEEvents.h"
#include "explorer/UniversalExplorerUnit.h"
#include "platform/IconTheme.h"

namespace {

// Records the window's status text each time the window handles its pending events: it posts
// itself an event that is delivered once per round of event handling and then posts the next.
class TStatusSampler : public QObject {
 public:
  explicit TStatusSampler(const TUniversalExplorerForm& window) : FWindow(window) { Repost(); }
  ~TStatusSampler() override { FActive = false; }

  // The texts in the order shown, consecutive repeats merged.
  QStringList Texts;

 protected:
  void customEvent(QEvent*) override {
    const QString text = FWindow.StatusText();
    if (Texts.isEmpty() || Texts.last() != text) Texts += text;
    if (FActive) Repost();
  }

 private:
  void Repost() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }
  const TUniversalExplorerForm& FWindow;
  bool FActive = true;
};

// Runs `action` on the window's first progress notice, before the window handles it.
class TOnFirstProgress : public QObject {
 public:
  explicit TOnFirstProgress(std::function<void()> action) : FAction(std::move(action)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == WM_UE_PROGRESS && FAction) std::exchange(FAction, nullptr)();
    return false;
  }

 private:
  std::function<void()> FAction;
};

// md5sum's digest of the file's content, fed on its standard input: the path may not be
// valid UTF-8, which a QString argument could not carry.
QByteArray Md5sumOf(const QByteArray& path) {
  QByteArray content;
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) content.append(buffer, got);
  ::close(fd);
  QProcess process;
  process.start(QStringLiteral("md5sum"));
  process.write(content);
  process.closeWriteChannel();
  if (!process.waitForFinished(30000)) return {};
  return process.readAllStandardOutput().left(32).toUpper();
}

}  // namespace

class TOpsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void duplicates_data();
  void duplicates();
  void digestsEqualMd5sumAndShowHashesRecomputes();
  void cancelKeepsTheDigestsSoFar();
  void copyProgressText_data();
  void copyProgressText();
  void copyToAFolder();
  void deleteMovesTheSelectedFilesToTheTrash();
  void clipboard();
  void search_data();
  void search();
  void searchInAnEmptyList();

 private:
  // Lists the test folder and sorts it by `column`, ascending.
  void List(int column = fcName);
  QStringList Names(const std::vector<TFileNodeData*>& records) const;
  QStringList ListedNames() const;
  QStringList SelectedNames() const;
  void SelectNames(const QStringList& names);

  std::unique_ptr<TTestDir> FDataHome;
  std::unique_ptr<TUniversalExplorerForm> FWindow;
  std::unique_ptr<TTestDir> FDir;
};

void TOpsWindowTest::initTestCase() {
  SetUpIconTheme();
  // The trash goes to a folder of the test's own, before any window exists.
  FDataHome = std::make_unique<TTestDir>();
  QVERIFY(FDataHome->IsValid());
  qputenv("XDG_DATA_HOME", FDataHome->Path().chopped(1));
}

void TOpsWindowTest::init() {
  FDir = std::make_unique<TTestDir>();
  QVERIFY(FDir->IsValid());
  FWindow = std::make_unique<TUniversalExplorerForm>();
  FWindow->show();
  QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
}

void TOpsWindowTest::cleanup() {
  FWindow.reset();
  FDir.reset();
}

void TOpsWindowTest::List(int column) {
  const QModelIndex index =
      FWindow->FileTreeModel->index(QFile::decodeName(FDir->Path().chopped(1)));
  QVERIFY(index.isValid());
  FWindow->FileTreeView->setCurrentIndex(index);
  FWindow->FileTreeViewClick();
  FWindow->FileListView->Model()->SortBy(column, Qt::AscendingOrder);
}

QStringList TOpsWindowTest::Names(const std::vector<TFileNodeData*>& records) const {
  QStringList names;
  for (const TFileNodeData* record : records) names += QString::fromUtf8(record->Name());
  return names;
}

QStringList TOpsWindowTest::ListedNames() const {
  std::vector<TFileNodeData*> records;
  const TFileListModel& model = *FWindow->FileListView->Model();
  for (int row = 0; row < model.rowCount(); ++row) records.push_back(model.Record(row));
  return Names(records);
}

QStringList TOpsWindowTest::SelectedNames() const {
  return Names(FWindow->FileListView->SelectedRecords());
}

void TOpsWindowTest::SelectNames(const QStringList& names) {
  const TFileListModel& model = *FWindow->FileListView->Model();
  QItemSelectionModel* selection = FWindow->FileListView->selectionModel();
  selection->clearSelection();
  for (int row = 0; row < model.rowCount(); ++row) {
    if (names.contains(QString::fromUtf8(model.Record(row)->Name())))
      selection->select(model.index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

void TOpsWindowTest::duplicates_data() {
  QTest::addColumn<QStringList>("files");       // "name=content", "name>target" (symlink),
                                                // "name+target" (hard link)
  QTest::addColumn<QStringList>("ascending");   // selected, list sorted by name A to Z
  QTest::addColumn<QStringList>("descending");  // selected, list sorted by name Z to A
  QTest::newRow("three identical files") << QStringList{"a=same", "b=same", "c=same"}
                                         << QStringList{"a", "b"} << QStringList{"c", "b"};
  QTest::newRow("empty files are duplicates")
      << QStringList{"a=", "b=", "c=x"} << QStringList{"a"} << QStringList{"b"};
  QTest::newRow("one byte differs")
      << QStringList{"a=abc", "b=abd"} << QStringList{} << QStringList{};
  // One file on disk listed twice is never selected against the copy that is kept.
  QTest::newRow("hard links with a separate copy")
      << QStringList{"a=same", "b+a", "c=same"} << QStringList{"a", "b"} << QStringList{"c"};
  QTest::newRow("symbolic link and its target")
      << QStringList{"a=same", "b>a"} << QStringList{} << QStringList{};
  QTest::newRow("symbolic link, target and a copy")
      << QStringList{"a=same", "b>a", "c=same"} << QStringList{"a", "b"} << QStringList{"c"};
}

void TOpsWindowTest::duplicates() {
  QFETCH(QStringList, files);
  QFETCH(QStringList, ascending);
  QFETCH(QStringList, descending);
  for (const QString& file : files) {
    const QByteArray entry = file.toUtf8();
    const QByteArray name = entry.left(1);
    const QByteArray rest = entry.mid(2);
    if (entry[1] == '=') QVERIFY(FDir->MakeFile(name, rest));
    if (entry[1] == '>') QVERIFY(FDir->MakeSymlink(FDir->Abs(rest), name));
    if (entry[1] == '+') {
      if (::link(FDir->Abs(rest).constData(), FDir->Abs(name).constData()) != 0)
        QSKIP("no hard links here");
    }
  }
  List();
  const int rows = FWindow->FileListView->Model()->rowCount();
  QCOMPARE(rows, files.size());

  // What the user had selected is replaced by the pass's choice.
  FWindow->selectAllBtnClick();
  QTest::mouseClick(FWindow->selectDupesBtn, Qt::LeftButton);
  QCOMPARE(SelectedNames(), ascending);
  // The digests of the readable files are filled in on the way.
  for (int row = 0; row < rows; ++row)
    QCOMPARE(FWindow->FileListView->Model()->Record(row)->Hash().size(), 32);
  QVERIFY(FWindow->StatusText().startsWith(QStringLiteral("Viewing %1 files (").arg(rows)));
  QVERIFY(FWindow->MainPanel->isEnabled());

  FWindow->FileListView->Model()->SortBy(fcName, Qt::DescendingOrder);
  FWindow->selectDupesBtnClick();
  QCOMPARE(SelectedNames(), descending);
}

void TOpsWindowTest::digestsEqualMd5sumAndShowHashesRecomputes() {
  QVERIFY(FDir->MakeFile("empty"));
  QVERIFY(FDir->MakeFile("small", "abc"));
  QByteArray big(300 * 1024 + 7, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 % 251);
  QVERIFY(FDir->MakeFile("big", big));
  QVERIFY(FDir->MakeFile("na\xefve", "not UTF-8"));
  List();
  const TFileListModel& model = *FWindow->FileListView->Model();
  QCOMPARE(model.rowCount(), 4);

  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  QVERIFY(FWindow->showHashesBtn->isChecked());
  for (int row = 0; row < model.rowCount(); ++row) {
    const TFileNodeData& record = *model.Record(row);
    QCOMPARE(record.Hash(), Md5sumOf(record.Path));
    QCOMPARE(model.data(model.index(row, fcHash)).toString(), QString::fromLatin1(record.Hash()));
  }
  QCOMPARE(FWindow->StatusText(),
           QStringLiteral("Viewing 4 files (%1 bytes).").arg(big.size() + 12));

  // Releasing keeps the digests; pressing again recomputes every one of them.
  QVERIFY(FDir->MakeFile("small", "abd"));
  const TFileNodeData& small = *model.Record(model.rowCount() - 1);
  QCOMPARE(small.Name(), QByteArrayView("small"));
  const QByteArray before = small.Hash();
  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  QVERIFY(!FWindow->showHashesBtn->isChecked());
  QCOMPARE(small.Hash(), before);
  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  QCOMPARE(small.Hash(), Md5sumOf(small.Path));
  QVERIFY(small.Hash() != before);

  // A file that has gone since the listing loses its digest.
  FDir->Remove("small");
  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  QCOMPARE(small.Hash(), QByteArray());
}

void TOpsWindowTest::cancelKeepsTheDigestsSoFar() {
  constexpr int kFiles = 1500;
  for (int i = 0; i < kFiles; ++i)
    QVERIFY(FDir->MakeFile(QByteArray::number(100000 + i), QByteArray::number(i)));
  List();
  TStatusBar* statusBar = FWindow->StatusBar;
  TOnFirstProgress clickCancel(
      [&] { QTest::mouseClick(statusBar, Qt::LeftButton, {}, statusBar->PanelRect(2).center()); });
  FWindow->installEventFilter(&clickCancel);
  QTest::mouseClick(FWindow->showHashesBtn, Qt::LeftButton);
  FWindow->removeEventFilter(&clickCancel);

  // The rows handled before the cancel keep correct digests, the others have none: the pass
  // walks in list order, so the digests form a leading run of at least the first row.
  const TFileListModel& model = *FWindow->FileListView->Model();
  int withDigest = 0;
  while (withDigest < kFiles && model.Record(withDigest)->HasDigest) ++withDigest;
  QVERIFY(withDigest >= 1);
  for (int row = withDigest; row < kFiles; ++row) QVERIFY(!model.Record(row)->HasDigest);
  for (int row : {0, withDigest - 1})
    QCOMPARE(model.Record(row)->Hash(), Md5sumOf(model.Record(row)->Path));
  QVERIFY(FWindow->StatusText().startsWith(QStringLiteral("Viewing 1500 files (")));
  QCOMPARE(FWindow->FProgressBar->value(), 0);
}

void TOpsWindowTest::copyProgressText_data() {
  QTest::addColumn<int>("files");
  QTest::addColumn<QStringList>("shown");  // the "please wait" texts, in order
  QTest::newRow("three rows: only before the first") << 3 << QStringList{"0"};
  QStringList everyOther;
  for (int processed = 0; processed < 100; processed += 2) everyOther += QString::number(processed);
  QTest::newRow("100 rows: before every other row") << 100 << everyOther;
}

void TOpsWindowTest::copyProgressText() {
  QFETCH(int, files);
  QFETCH(QStringList, shown);
  for (int i = 0; i < files; ++i) QVERIFY(FDir->MakeFile("f" + QByteArray::number(1000 + i), "x"));
  QVERIFY(FDir->MakeDir("dest"));
  List();
  FWindow->selectAllBtnClick();
  FWindow->OnAskCopyFolder = [&] { return QFile::decodeName(FDir->Abs("dest")); };

  TStatusSampler sampler(*FWindow);
  QTest::mouseClick(FWindow->copyCheckedBtn, Qt::LeftButton);
  QStringList waits;
  const QString prefix = QStringLiteral("Copying Selected Files, please wait... (Processed ");
  for (const QString& text : sampler.Texts) {
    if (!text.startsWith(prefix)) continue;
    QVERIFY(text.endsWith(QStringLiteral(" files).")));
    waits += text.mid(prefix.size()).chopped(8);
  }
  QCOMPARE(waits, shown);
  QVERIFY(sampler.Texts.contains(QStringLiteral("Copying Selected Files...")));
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing %1 files (%1 bytes).").arg(files));
  QCOMPARE(QDir(QFile::decodeName(FDir->Abs("dest"))).entryList(QDir::Files).size(), files);
}

void TOpsWindowTest::copyToAFolder() {
  QVERIFY(FDir->MakeFile("a.txt", "alpha") && FDir->MakeFile("b.txt", "beta"));
  QVERIFY(FDir->MakeFile("c\xff.txt", "gamma"));
  QVERIFY(FDir->MakeDir("dest") && FDir->MakeFile("dest/a.txt", "old content, longer"));
  List();
  SelectNames({"a.txt"});
  FWindow->FileListView->selectionModel()->select(
      FWindow->FileListView->Model()->index(2, 0),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QCOMPARE(FWindow->FileListView->SelectedCount(), 2);

  // A cancelled dialog does nothing.
  FWindow->OnAskCopyFolder = [] { return QString(); };
  FWindow->SetStatusText(QStringLiteral("untouched"));
  FWindow->copyCheckedBtnClick();
  QCOMPARE(FWindow->StatusText(), QStringLiteral("untouched"));

  FWindow->OnAskCopyFolder = [&] { return QFile::decodeName(FDir->Abs("dest")); };
  FWindow->copyCheckedBtnClick();
  QFile a(QFile::decodeName(FDir->Abs("dest/a.txt")));
  QVERIFY(a.open(QIODevice::ReadOnly));
  QCOMPARE(a.readAll(), QByteArray("alpha"));  // replaced without a question
  QVERIFY(!QFileInfo::exists(QFile::decodeName(FDir->Abs("dest/b.txt"))));
  struct stat st;
  QCOMPARE(::stat(FDir->Abs("dest/c\xff.txt").constData(), &st), 0);
  // Copying changes neither the rows nor the selection.
  QCOMPARE(FWindow->FileListView->Model()->rowCount(), 3);
  QCOMPARE(FWindow->FileListView->SelectedCount(), 2);
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 3 files (14 bytes)."));
}

void TOpsWindowTest::deleteMovesTheSelectedFilesToTheTrash() {
  QVERIFY(FDir->MakeFile("a", "1") && FDir->MakeFile("bb", "22") && FDir->MakeFile("ccc", "333"));
  List(fcSize);
  QCOMPARE(ListedNames(), QStringList({"a", "bb", "ccc"}));
  // "Find Next" would resume at "ccc", which is deleted now.
  FWindow->srchCombo->setEditText(QStringLiteral("bb"));
  FWindow->srchBtnClick(0);
  QCOMPARE(FWindow->FSearchNode, FWindow->FileListView->Model()->Record(2));
  SelectNames({"a", "ccc"});

  // "No" keeps everything.
  int asked = 0;
  FWindow->OnConfirmDelete = [&] { return ++asked, false; };
  QTest::mouseClick(FWindow->deleteCheckedBtn, Qt::LeftButton);
  QCOMPARE(asked, 1);
  QCOMPARE(ListedNames().size(), 3);

  FWindow->OnConfirmDelete = [&] { return ++asked, true; };
  QTest::mouseClick(FWindow->deleteCheckedBtn, Qt::LeftButton);
  QCOMPARE(asked, 2);
  QCOMPARE(ListedNames(), QStringList({"bb"}));
  QCOMPARE(FWindow->FSearchNode, nullptr);
  // The new row count with the byte total of the listing.
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Viewing 1 files (6 bytes)."));
  QVERIFY(!QFileInfo::exists(QFile::decodeName(FDir->Abs("a"))));
  const QString trash = QFile::decodeName(FDataHome->Abs("Trash/"));
  for (const char* name : {"a", "ccc"}) {
    QVERIFY2(QFileInfo::exists(trash + "files/" + name), name);
    QFile info(trash + "info/" + name + ".trashinfo");
    QVERIFY(info.open(QIODevice::ReadOnly));
    QVERIFY(info.readAll().contains("Path=" + FDir->Abs(name)));
  }
  QVERIFY(FWindow->MainPanel->isEnabled());
  QCOMPARE(FWindow->FProgressBar->value(), 0);
}

void TOpsWindowTest::clipboard() {
  QVERIFY(FDir->MakeFile("a.txt", "12") && FDir->MakeFile("b,c.txt", "345"));
  QVERIFY(FDir->MakeFile("z.txt", "6"));
  List();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("kept"));
  FWindow->FileListView->selectionModel()->clearSelection();
  QTest::mouseClick(FWindow->cpToClipboardBtn, Qt::LeftButton);
  QCOMPARE(clipboard->text(), QStringLiteral("kept"));

  // Only the visible columns, in the order the header shows them.
  QHeaderView* header = FWindow->FileListView->header();
  for (int column = 0; column < fcColumnCount; ++column)
    header->setSectionHidden(column, column != fcName && column != fcSize);
  header->moveSection(header->visualIndex(fcSize), 0);
  SelectNames({"a.txt", "b,c.txt"});
  QTest::mouseClick(FWindow->cpToClipboardBtn, Qt::LeftButton);
  const QMimeData* data = clipboard->mimeData();
  QVERIFY(data != nullptr);
  QCOMPARE(data->data(QStringLiteral("text/csv")),
           QByteArray("Size,Name\r\n2,a.txt\r\n3,\"b,c.txt\"\r\n"));
  QVERIFY(data->hasHtml());
  QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
}

void TOpsWindowTest::search_data() {
  // The needles hold a "_", which the random name of the test folder never does: the full path
  // is searched too.
  QTest::addColumn<QStringList>("files");  // in list order
  QTest::addColumn<QString>("text");
  QTest::addColumn<QList<int>>("tags");       // the buttons pressed, in turn
  QTest::addColumn<QStringList>("selected");  // the one selected row after each press
  QTest::newRow("Find Next starts over after the last row")
      << QStringList{"a_.txt", "b_.txt", "ab_.txt"} << "b_" << QList<int>{0, 1, 1}
      << QStringList{"b_.txt", "ab_.txt", "b_.txt"};
  QTest::newRow("no further match keeps the selection")
      << QStringList{"a_.txt", "b_.txt", "c_.txt"} << "b_" << QList<int>{0, 1, 1}
      << QStringList{"b_.txt", "b_.txt", "b_.txt"};
  QTest::newRow("A to Z ignore case") << QStringList{"a_.txt", "read_me.md"} << "READ_ME"
                                      << QList<int>{0} << QStringList{"read_me.md"};
  QTest::newRow("other letters do not")
      << QStringList{"\xc3\xa9_.txt"} << "\xc3\x89_" << QList<int>{0} << QStringList{""};
  QTest::newRow("empty text selects nothing")
      << QStringList{"a_.txt", "b_.txt"} << "" << QList<int>{0, 1} << QStringList{"", ""};
}

void TOpsWindowTest::search() {
  QFETCH(QStringList, files);
  QFETCH(QString, text);
  QFETCH(QList<int>, tags);
  QFETCH(QStringList, selected);
  // Sizes 1, 2, 3, ... give the list order.
  for (int i = 0; i < files.size(); ++i)
    QVERIFY(FDir->MakeFile(files[i].toUtf8(), QByteArray(i + 1, 'x')));
  List(fcSize);
  QCOMPARE(ListedNames(), files);
  FWindow->srchCombo->setEditText(text);
  for (int press = 0; press < tags.size(); ++press) {
    QTest::mouseClick(tags[press] == 0 ? FWindow->firstSrchBtn : FWindow->nextSrchBtn,
                      Qt::LeftButton);
    QCOMPARE(SelectedNames().join(','), selected[press]);
    if (!selected[press].isEmpty())
      QCOMPARE(FWindow->FileListView->currentIndex().row(), files.indexOf(selected[press]));
    QCOMPARE(FWindow->StatusText(), QStringLiteral("Done..."));
    QVERIFY(FWindow->MainPanel->isEnabled());
  }
  QCOMPARE(FWindow->srchCombo->count(), 0);
}

void TOpsWindowTest::searchInAnEmptyList() {
  FWindow->srchCombo->setEditText(QStringLiteral("x"));
  FWindow->srchBtnClick(1);
  QCOMPARE(FWindow->StatusText(), QStringLiteral("Done..."));
  QCOMPARE(FWindow->FSearchNode, nullptr);
  QVERIFY(SelectedNames().isEmpty());
}

QTEST_MAIN(TOpsWindowTest)
#include "tst_opswindow.moc"
