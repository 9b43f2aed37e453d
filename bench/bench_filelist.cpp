// The file list at a million rows: batch appends, sorting by name and by size, and scrolling
// with repaints, each against its budget; GNU sort over the same names as a reference.
//
// Run a Release build: bench_filelist [rows]   (default 1000000; uses the offscreen platform
// unless QT_QPA_PLATFORM says otherwise).

#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr int kBatchRows = 2000;

const char* const kWords[] = {"Report",  "holiday",   "Invoice", "scan",   "Budget", "notes",
                              "Résumé",  "draft",     "Final",   "backup", "photo",  "Müller",
                              "meeting", "Übersicht", "plan",    "copy",   "data",   "export"};
const char* const kExts[] = {".jpg", ".JPG", ".png", ".pdf",    ".docx", ".txt", ".mp4",
                             ".cpp", ".h",   "",     ".tar.gz", ".xlsx", ".mp3", ".NEF"};
const char* const kFolders[] = {
    "/home/ana/Pictures/2019/Summer/",     "/home/ana/Documents/Work/",
    "/home/ana/src/veskora/src/explorer/", "/media/usb/DCIM/100CANON/",
    "/home/ana/Music/Various Artists/",    "/srv/share/Projekte/Ablage/"};

std::vector<std::unique_ptr<TFileNodeData>> MakeRecords(int count) {
  std::mt19937_64 random(20240611);
  std::vector<std::unique_ptr<TFileNodeData>> records;
  records.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) {
    QByteArray name;
    switch (random() % 4) {
      case 0:
        name = "IMG_" + QByteArray::number(qulonglong(random() % 100000)).rightJustified(5, '0');
        break;
      case 1:
        name = "DSC" + QByteArray::number(qulonglong(random() % 100000));
        break;
      default: {
        const int words = 1 + int(random() % 3);
        for (int w = 0; w < words; ++w) {
          if (w) name += random() % 2 ? " " : "_";
          name += kWords[random() % std::size(kWords)];
        }
        if (random() % 2) name += " (" + QByteArray::number(qulonglong(random() % 50)) + ")";
      }
    }
    name += kExts[random() % std::size(kExts)];
    auto record = MakeFileRecord(QByteArray(kFolders[random() % std::size(kFolders)]) + name);
    // Sizes spread over orders of magnitude, as on a real disk.
    record->Size = qint64(random() % 1000) << (random() % 32);
    record->Modified = 946684800000 + qint64(random() % 800000000000);
    record->Created =
        random() % 10 ? record->Modified - qint64(random() % 1000000000) : kUnknownTime;
    record->Accessed = record->Modified + qint64(random() % 1000000000);
    records.push_back(std::move(record));
  }
  return records;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* what, double value, const char* unit, const char* target) {
  std::printf("%-44s %10.3f %-3s (target %s)\n", what, value, unit, target);
}

// Times one sort by a column, through the view's header-click path and the relayout it causes.
// The rows are first shuffled by another column so that every run starts unordered.
struct TTiming {
  double Wall;
  double Cpu;  // all threads
};

TTiming TimeSort(TFileListView& view, int column, int scrambleColumn) {
  std::vector<double> runs;
  std::vector<double> cpu;
  for (int run = 0; run < 3; ++run) {
    view.Model()->SortBy(scrambleColumn, run % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    view.Model()->SortBy(column, Qt::AscendingOrder);
    view.doItemsLayout();
    runs.push_back(timer.nsecsElapsed() / 1e9);
    cpu.push_back(double(std::clock() - cpuStart) / CLOCKS_PER_SEC);
  }
  return {Median(runs), Median(cpu)};
}

void ReportSort(const char* what, TTiming timing, const char* target) {
  std::printf("%-44s %10.3f s   (target %s; cpu %.3f s over all threads)\n", what, timing.Wall,
              target, timing.Cpu);
}

double LoadAverage() {
  double load[1] = {0};
  return getloadavg(load, 1) == 1 ? load[0] : -1;
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 1000000;
  std::printf("file list benchmark, %d rows, load average %.2f\n", rows, LoadAverage());
  std::printf("%-44s %10zu bytes\n", "record size (sizeof TFileNodeData)", sizeof(TFileNodeData));

  QElapsedTimer timer;
  timer.start();
  auto records = MakeRecords(rows);
  std::printf("%-44s %10.3f s\n", "making the records", timer.nsecsElapsed() / 1e9);

  // The names for GNU sort, before the records move into the list.
  QTemporaryDir tempDir;
  const QString namesFile = tempDir.filePath(QStringLiteral("names.txt"));
  {
    QFile file(namesFile);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    for (const auto& record : records) file.write(record->Name().toByteArray() + '\n');
  }

  TFileListView view;
  view.resize(1000, 600);
  view.show();
  QApplication::processEvents();

  // A scan hands rows over in batches while painting is suspended.
  timer.restart();
  view.SetRepaintSuspended(true);
  for (std::size_t first = 0; first < records.size(); first += kBatchRows) {
    const std::size_t last = std::min(records.size(), first + kBatchRows);
    std::vector<std::unique_ptr<TFileNodeData>> batch;
    batch.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) batch.push_back(std::move(records[i]));
    view.Model()->AppendRows(std::move(batch));
    QApplication::processEvents();
  }
  view.SetRepaintSuspended(false);
  QApplication::processEvents();
  Report("append in batches of 2000 (suspended)", timer.nsecsElapsed() / 1e9, "s", "none");

  view.selectionModel()->select(view.Model()->index(rows / 2, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
  const TTiming byName = TimeSort(view, fcName, fcModified);
  ReportSort("sort by Name (median of 3)", byName, "<= 2 s");
  const TTiming bySize = TimeSort(view, fcSize, fcName);
  ReportSort("sort by Size (median of 3)", bySize, "<= 0.3 s");
  const TTiming byPath = TimeSort(view, fcPath, fcSize);
  ReportSort("sort by Path (median of 3)", byPath, "none");

  // Scrolling: 200 steps of a page each over the list, each one repainted at once.
  QScrollBar* bar = view.verticalScrollBar();
  const int steps = 200;
  const int stride = std::max(1, bar->maximum() / steps);
  std::vector<double> frames;
  for (int step = 0; step < steps; ++step) {
    timer.restart();
    bar->setValue(std::min(bar->maximum(), step * stride));
    view.viewport()->repaint();
    frames.push_back(timer.nsecsElapsed() / 1e6);
  }
  Report("scroll + repaint 1000x600, median frame", Median(frames), "ms", "<= 16 ms");
  Report("scroll + repaint 1000x600, slowest frame",
         *std::max_element(frames.begin(), frames.end()), "ms", "<= 50 ms");

  // Reference: GNU sort, case folded, in this process's locale.
  QProcess sort;
  timer.restart();
  sort.start(QStringLiteral("sort"),
             {QStringLiteral("-f"), QStringLiteral("-o"),
              QDir::toNativeSeparators(tempDir.filePath("sorted.txt")), namesFile});
  if (sort.waitForFinished(-1) && sort.exitCode() == 0) {
    const double gnu = timer.nsecsElapsed() / 1e9;
    Report("GNU sort -f over the same names", gnu, "s", "reference");
    std::printf("%-44s %10.2f x\n", "sort by Name / GNU sort -f", byName.Wall / gnu);
  } else {
    std::printf("GNU sort not available\n");
  }
  Report("peak resident memory", PeakRssMiB(), "MiB", "none");
  // Figures from a busy machine are not comparable with the targets.
  std::printf("%-44s %10.2f\n", "load average (1 min) at the end", LoadAverage());
  return 0;
}
