// Digest pass throughput and duplicate selection cost.
//
//   bench_digest TREE
//
// Lists the regular files under TREE, warms the page cache, then digests them all one after
// the other on one thread (as the hash pass does) with GetFileMD5 at several read sizes and
// with QCryptographicHash, and runs md5sum(1) over the same files in the same run. Prints
// MB/s for each and the ratio to md5sum. Then times the duplicate selection alone (digests
// given) over 100,000 made-up rows of which a fifth are in groups, with the selection handed
// over in batches as the window takes it. Last, the same tree through the real window
// (offscreen): a flat listing, "Show Hashes" and then "Select Dupes", each with its time and
// the longest gap between two ticks of a 10 ms timer on the interface thread, which is how
// long the window stalled at worst.

#include "explorer/Duplicates.h"
#include "platform/FileDigest.h"

#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/UniversalExplorerUnit.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileSystemModel>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>
#include <QTreeView>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

std::vector<QByteArray> gFiles;
std::int64_t gBytes = 0;

int Collect(const char* path, const struct stat* st, int type, FTW*) {
  if (type == FTW_F && S_ISREG(st->st_mode)) {
    gFiles.emplace_back(path);
    gBytes += st->st_size;
  }
  return 0;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same reading rules as GetFileMD5, with Qt's MD5 in place of libcrypto's.
bool QtMD5(const QByteArray& path, std::size_t readSize) {
  int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOATIME);
  if (fd < 0) fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  QCryptographicHash hash(QCryptographicHash::Md5);
  std::vector<char> buffer(readSize);
  ssize_t got;
  while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) hash.addData({buffer.data(), got});
  ::close(fd);
  return got == 0 && hash.result().size() == 16;
}

double RunMd5sum(const QString& listFile) {
  const auto start = std::chrono::steady_clock::now();
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(QStringLiteral("xargs"), {"-0", "-a", listFile, "md5sum"});
  if (!process.waitForFinished(-1) || process.exitCode() != 0) return -1;
  return SecondsSince(start);
}

void Report(const char* what, double seconds, double md5sumSeconds) {
  const double mbps = static_cast<double>(gBytes) / 1e6 / seconds;
  std::printf("%-34s %8.2f s %9.1f MB/s", what, seconds, mbps);
  if (md5sumSeconds > 0) std::printf("   %.2f x md5sum", md5sumSeconds / seconds);
  std::printf("\n");
}

void BenchSelection() {
  constexpr int kRows = 100000;
  std::mt19937 random(1321);
  std::vector<TDuplicateRow> rows(kRows);
  for (int i = 0; i < kRows; ++i) {
    // Four fifths unique; the rest spread over groups of about three.
    const std::uint32_t key = i % 5 == 0 ? 1000000u + random() % (kRows / 15) : std::uint32_t(i);
    TDigest digest{};
    for (int b = 0; b < 4; ++b) digest[b] = static_cast<std::uint8_t>(key >> (8 * b));
    digest[15] = static_cast<std::uint8_t>(random());  // spread within the index's buckets
    if (i % 5 == 0) digest[15] = 0;
    rows[i] = {digest, TFileIdentity{1, static_cast<std::uint64_t>(i + 1)}};
  }
  double best = 1e9;
  std::size_t selected = 0;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    TDuplicateSelector selector;
    selected = 0;
    for (int i = 0; i < kRows; ++i) {
      selector.AddRow(rows[i].Digest, rows[i].Identity);
      if (i % 100 == 99 || i == kRows - 1) selected += selector.TakeChanges().Selected.size();
    }
    best = std::min(best, SecondsSince(start));
  }
  std::printf("duplicate selection, 100000 rows:  %8.4f s (best of 5), %zu selected\n", best,
              selected);
}

// The longest interval between two ticks of a 10 ms timer while `work` runs.
template <class TWork>
double LongestStallMs(TWork&& work) {
  QTimer timer;
  timer.setInterval(10);
  auto last = std::chrono::steady_clock::now();
  double longest = 0;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const auto now = std::chrono::steady_clock::now();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  });
  timer.start();
  last = std::chrono::steady_clock::now();
  work();
  timer.stop();
  return longest;
}

void BenchWindow(const char* tree) {
  TUniversalExplorerForm window;
  window.show();
  QString folder = QFile::decodeName(tree);
  while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
  window.FileTreeView->setCurrentIndex(window.FileTreeModel->index(folder));
  window.rcFoldersBtn->setChecked(true);
  auto start = std::chrono::steady_clock::now();
  double stall = LongestStallMs([&] { window.FileTreeViewClick(); });
  const int rows = window.FileListView->Model()->rowCount();
  std::printf("window: listing %d rows            %8.2f s, longest stall %6.1f ms\n", rows,
              SecondsSince(start), stall);
  start = std::chrono::steady_clock::now();
  stall = LongestStallMs([&] { window.showHashesBtn->click(); });
  Report("window: Show Hashes", SecondsSince(start), -1);
  std::printf("window: Show Hashes longest stall   %8.1f ms\n", stall);
  start = std::chrono::steady_clock::now();
  stall = LongestStallMs([&] { window.selectDupesBtn->click(); });
  std::printf("window: Select Dupes after hashes   %8.3f s, longest stall %6.1f ms, %d selected\n",
              SecondsSince(start), stall, window.FileListView->SelectedCount());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TREE\n", argv[0]);
    return 2;
  }
  if (::nftw(argv[1], Collect, 64, FTW_PHYS) != 0 || gFiles.empty()) {
    std::fprintf(stderr, "no files under %s\n", argv[1]);
    return 1;
  }
  std::printf("%zu files, %.1f MB\n", gFiles.size(), static_cast<double>(gBytes) / 1e6);

  QTemporaryFile list;
  if (!list.open()) return 1;
  for (const QByteArray& file : gFiles) list.write(file + '\0');
  list.flush();

  RunMd5sum(list.fileName());  // warms the page cache
  const double md5sum = RunMd5sum(list.fileName());
  Report("md5sum", md5sum, -1);

  for (const std::size_t readSize : {8u << 10, 64u << 10, 128u << 10, 256u << 10, 1u << 20}) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t failed = 0;
    for (const QByteArray& file : gFiles) failed += !GetFileMD5(file, nullptr, readSize);
    char what[64];
    std::snprintf(what, sizeof(what), "GetFileMD5 (libcrypto), %4zu KiB", readSize >> 10);
    Report(what, SecondsSince(start), md5sum);
    if (failed) std::printf("  %zu files failed\n", failed);
  }
  for (const std::size_t readSize : {8u << 10, 128u << 10}) {
    const auto start = std::chrono::steady_clock::now();
    for (const QByteArray& file : gFiles) QtMD5(file, readSize);
    char what[64];
    std::snprintf(what, sizeof(what), "QCryptographicHash, %4zu KiB", readSize >> 10);
    Report(what, SecondsSince(start), md5sum);
  }
  // Once more at the chosen size, so the order of the runs does not decide.
  const double again = RunMd5sum(list.fileName());
  const auto start = std::chrono::steady_clock::now();
  for (const QByteArray& file : gFiles) GetFileMD5(file);
  Report("md5sum (again)", again, -1);
  Report("GetFileMD5 as built (again)", SecondsSince(start), again);

  BenchSelection();

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  BenchWindow(argv[1]);
  return 0;
}
