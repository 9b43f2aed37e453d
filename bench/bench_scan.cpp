// Scans a folder tree with the program's own scan (listing, records, icons, the package
// database lookup, and hand-over into one vector the way the list keeps its rows) and times
// it against `find TREE -printf '%s %T@ %A@ %C@ %p\n' > /dev/null` in the same run, both with
// warm caches. Also measures how much the process grows per listed row beyond the bytes of
// the paths themselves. Wall times are the target; CPU times (user + system, the scan's own
// and find's as a child) are printed beside them because they stay meaningful on a machine
// that is busy with other work.
//
// Then the whole path through the window, offscreen: the folder's listing as a click on it
// runs it (worker, batches applied on the interface thread, icons, the closing status text),
// timed from the call until it returns with the "Viewing" text, against the same find time.
// A 10 ms timer records the longest gap between two turns of the event loop while the scan
// runs: the window must repaint and take a click on Cancel well within a quarter second.
//
//   bench_scan TREE [RUNS]     (RUNS defaults to 3; medians are printed)

#include "containers/StringIndex.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/FileTypeIndex.h"
#include "explorer/FolderScan.h"
#include "explorer/UniversalExplorerUnit.h"
#include "platform/IconTheme.h"
#include "platform/ProtectedFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

class TKeepSink : public TScanSink {
 public:
  void OnBatch(TScanBatch&& batch) override {
    Rows.insert(Rows.end(), std::make_move_iterator(batch.Rows.begin()),
                std::make_move_iterator(batch.Rows.end()));
    Icons += batch.Icons.size();
  }
  void OnProgress(int, int) override { ++Progress; }

  std::vector<std::unique_ptr<TFileNodeData>> Rows;
  std::size_t Icons = 0;
  int Progress = 0;
};

std::int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * ::sysconf(_SC_PAGESIZE);
}

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

double CpuSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct TScanResult {
  double Seconds = 0;
  double Cpu = 0;
  std::size_t Rows = 0;
  std::int64_t PathBytes = 0;
  std::int64_t Growth = 0;  // resident bytes gained while the rows are held
};

TScanResult ScanOnce(const QByteArray& tree, const TFileTypeIndex& types) {
  TScanOptions options;
  options.FlatView = options.ShowHidden = options.ShowSystem = options.ShowProtected = true;
  TStringIntIndex icons;  // fresh each run, so the icon look-ups are part of every run
  std::atomic<bool> cancelled{false};
  TKeepSink sink;
  ::malloc_trim(0);
  const std::int64_t before = ResidentBytes();
  const double cpuStart = CpuSeconds(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  TFolderScan scan(tree, options, icons, 0, types, cancelled, sink);
  scan.ScanFolderTree();
  TScanResult result;
  result.Seconds = Seconds(std::chrono::steady_clock::now() - start);
  result.Cpu = CpuSeconds(RUSAGE_SELF) - cpuStart;
  result.Growth = ResidentBytes() - before;
  result.Rows = sink.Rows.size();
  for (const auto& row : sink.Rows) result.PathBytes += row->Path.size();
  return result;
}

// Wall and CPU seconds of one find over the tree.
std::pair<double, double> FindOnce(const std::string& tree) {
  const std::string command = "find '" + tree + "' -printf '%s %T@ %A@ %C@ %p\\n' > /dev/null";
  const double cpuStart = CpuSeconds(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
  return {Seconds(std::chrono::steady_clock::now() - start),
          CpuSeconds(RUSAGE_CHILDREN) - cpuStart};
}

struct TWindowResult {
  double Seconds = 0;
  int Rows = 0;
  double MaxGapMs = 0;  // longest time between two event-loop turns while the scan ran
  bool Viewing = false;
};

TWindowResult WindowOnce(TUniversalExplorerForm& window) {
  // The previous run's rows are freed outside the timing: a first click has none to free.
  window.FileListView->Model()->Clear();
  ::malloc_trim(0);
  TWindowResult result;
  QElapsedTimer sinceTick;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const double gap = double(sinceTick.nsecsElapsed()) / 1e6;
    sinceTick.start();
    if (window.TaskRunning()) result.MaxGapMs = std::max(result.MaxGapMs, gap);
  });
  ticker.start();
  sinceTick.start();
  const auto start = std::chrono::steady_clock::now();
  window.FileTreeViewClick();
  result.Seconds = Seconds(std::chrono::steady_clock::now() - start);
  ticker.stop();
  result.Rows = window.FileListView->Model()->rowCount();
  result.Viewing = window.StatusText().startsWith(QStringLiteral("Viewing "));
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpIconTheme();
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TREE [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string tree = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  TFileTypeIndex types;
  FillFileTypeIndex(types);
  SystemProtectedFiles().IsProtected("/");  // read once per program run, not per scan

  // Warm the caches for both sides.
  FindOnce(tree);
  ScanOnce(QByteArray::fromStdString(tree), types);

  std::vector<double> scanTimes, findTimes, scanCpu, findCpu;
  TScanResult last;
  for (int run = 0; run < runs; ++run) {
    const auto [findWall, findCpuSeconds] = FindOnce(tree);
    findTimes.push_back(findWall);
    findCpu.push_back(findCpuSeconds);
    last = ScanOnce(QByteArray::fromStdString(tree), types);
    scanTimes.push_back(last.Seconds);
    scanCpu.push_back(last.Cpu);
  }
  const double scan = Median(scanTimes);
  const double find = Median(findTimes);
  const double perRow = last.Rows ? double(last.Growth - last.PathBytes) / double(last.Rows) : 0.0;
  std::printf("rows            %zu\n", last.Rows);
  std::printf("scan median     %.3f s\n", scan);
  std::printf("find median     %.3f s\n", find);
  std::printf("scan / find     %.2f\n", scan / find);
  std::printf("cpu: scan %.3f s, find %.3f s, ratio %.2f\n", Median(scanCpu), Median(findCpu),
              Median(scanCpu) / Median(findCpu));
  std::printf("bytes per row   %.1f beyond %.1f bytes of path\n", perRow,
              last.Rows ? double(last.PathBytes) / double(last.Rows) : 0.0);

  // The window lists everything the engine run above listed: flat, hidden, protected and the
  // system's folders included.
  TUniversalExplorerForm window;
  window.show();
  for (TGlyphButton* button : {window.rcFoldersBtn, window.showHiddenBtn, window.showProtectedBtn,
                               window.showOSFoldersBtn})
    button->setChecked(true);
  QString folder = QString::fromStdString(tree);
  while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  window.FileTreeView->setCurrentIndex(window.FileTreeModel->index(folder));
  if (window.SelectedFolder().isEmpty()) {
    std::fprintf(stderr, "the window cannot select %s\n", tree.c_str());
    return 1;
  }
  WindowOnce(window);  // warm: icons of the tree's types are made once per program run
  std::vector<double> windowTimes, gaps;
  TWindowResult lastWindow;
  for (int run = 0; run < runs; ++run) {
    lastWindow = WindowOnce(window);
    windowTimes.push_back(lastWindow.Seconds);
    gaps.push_back(lastWindow.MaxGapMs);
  }
  const double windowTime = Median(windowTimes);
  std::printf("window rows     %d%s\n", lastWindow.Rows,
              lastWindow.Viewing ? "" : "  (no closing Viewing text!)");
  std::printf("window median   %.3f s (click to the closing Viewing text)\n", windowTime);
  std::printf("window / find   %.2f (target at most 1.20)\n", windowTime / find);
  std::printf("loop gap        %.1f ms at most during the scan (median of runs), worst %.1f ms\n",
              Median(gaps), *std::max_element(gaps.begin(), gaps.end()));
  return 0;
}
