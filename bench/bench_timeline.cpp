// The timeline at a million files: Rebuild with its lane layout, and painting a full-HD panel
// whose view holds far more items than one paint draws, against their budgets.
//
// Run a Release build: bench_timeline [rows] [--save frame.png]   (default 1000000 rows; uses
// the offscreen platform unless QT_QPA_PLATFORM says otherwise).

#include "explorer/FileNodeData.h"
#include "graph/VeskoraXGraphUtils.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <unordered_set>
#include <vector>

namespace {

constexpr double kRebuildBudgetMs = 1000.0;
constexpr double kPaintBudgetMs = 30.0;

const char* const kNames[] = {"IMG_4711.JPG",      "holiday-notes.txt", "Invoice 2019-03.pdf",
                              "draft (copy).docx", "backup.tar.gz",     "track 07.mp3",
                              "Übersicht.xlsx",    "main.cpp"};
const char* const kFolders[] = {"/home/ana/Pictures/2019/Summer/", "/home/ana/Documents/Work/",
                                "/media/usb/DCIM/100CANON/", "/srv/share/Projekte/Ablage/"};

class TBenchRows : public TTimelineRows {
 public:
  std::vector<std::unique_ptr<TFileNodeData>> Records;
  std::unordered_set<const TFileNodeData*> Selected;

  int RowCount() const override { return static_cast<int>(Records.size()); }
  TFileNodeData* RowRecord(int row) const override {
    return Records[static_cast<std::size_t>(row)].get();
  }
  bool IsSelected(const TFileNodeData* record) const override {
    return Selected.count(record) != 0;
  }
  void ClearSelection() override { Selected.clear(); }
  void SetSelected(TFileNodeData* record, bool selected) override {
    if (selected) {
      Selected.insert(record);
    } else {
      Selected.erase(record);
    }
  }
  void SetSelection(const std::vector<TSelectionChange>& changes) override {
    for (const TSelectionChange& change : changes) SetSelected(change.Record, change.Selected);
  }
  QPixmap Icon(int imageIndex) const override {
    if (Icons.empty()) {
      for (int i = 0; i < 40; ++i) {
        QPixmap icon(16, 16);
        icon.fill(QColor::fromHsv(i * 9, 80, 250));
        Icons.push_back(icon);
      }
    }
    return imageIndex >= 0 ? Icons[static_cast<std::size_t>(imageIndex) % Icons.size()] : QPixmap();
  }

 private:
  mutable std::vector<QPixmap> Icons;
};

void MakeRecords(TBenchRows& rows, int count) {
  std::mt19937_64 random(20240611);
  // Five years of files, denser in bursts (a camera's day out), in no particular order.
  const std::int64_t start = 1420070400000;  // 2015-01-01
  std::uniform_int_distribution<std::int64_t> when(0, 5LL * 365 * 86400000);
  std::uniform_int_distribution<int> pick(0, 1 << 20);
  rows.Records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const QByteArray name = kNames[pick(random) % std::size(kNames)];
    auto record = MakeFileRecord(QByteArray(kFolders[pick(random) % std::size(kFolders)]) + name);
    record->Modified = start + when(random);
    record->ImageIndex = pick(random) % 40;
    rows.Records.push_back(std::move(record));
  }
}

// The thread's own CPU time: shows the work itself when other programs load the machine.
double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int count = 1000000;
  QString savePath;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--save") && i + 1 < args.size()) {
      savePath = args[++i];
    } else {
      count = args[i].toInt();
    }
  }

  TBenchRows rows;
  MakeRecords(rows, count);
  QWidget panel;
  panel.resize(1920, 1080);
  TMetroVORNItemTimeline view(&panel, &rows);

  std::vector<double> rebuilds, rebuildsCpu;
  QElapsedTimer timer;
  for (int run = 0; run < 3; ++run) {
    const double cpu = CpuMs();
    timer.start();
    view.Rebuild();
    rebuilds.push_back(timer.nsecsElapsed() / 1e6);
    rebuildsCpu.push_back(CpuMs() - cpu);
  }
  const double rebuild = Median(rebuilds);
  std::printf("rows: %d, items: %zu\n", count, view.Items().size());
  std::printf("Rebuild + LayoutLanes: median %.1f ms of 3 (CPU %.1f ms) (budget %.0f ms)\n",
              rebuild, Median(rebuildsCpu), kRebuildBudgetMs);

  // Two views of the same items: at the default scale every pixel column holds about a hundred
  // items, so the cap on drawn tiles and the piling decide the cost; widened to about 6000 items
  // a screen, the tiles spread out and most of their text shows.
  QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
  std::vector<double> paintsCpu;
  const auto paintOnce = [&] {
    QPainter painter(&image);
    const double cpu = CpuMs();
    timer.start();
    view.PaintPanel(painter);
    paintsCpu.push_back(CpuMs() - cpu);
    return timer.nsecsElapsed() / 1e6;
  };
  // A few hundred selected rows, so selected tiles are drawn too.
  for (std::size_t i = 0; i < rows.Records.size(); i += 4000)
    rows.Selected.insert(rows.Records[i].get());

  double worstPaint = 0;
  for (const double scale : {20.0, 640.0}) {
    view.SetScale(scale);
    view.ZoomToFit(false, true);
    view.LayoutLanes(true);
    paintsCpu.clear();
    const double cold = paintOnce();
    int onScreen = 0, drawn = 0;
    for (const TNWNode* item : view.Items()) {
      onScreen += item->OnScreen;
      drawn += item->OnScreen && item->Visible;
    }
    std::vector<double> paints;
    paintsCpu.clear();
    for (int run = 0; run < 21; ++run) paints.push_back(paintOnce());
    const double paint = Median(paints);
    worstPaint = std::max(worstPaint, paint);
    std::printf(
        "paint 1920 x 1080 at Scale %.0f: %d items on screen, %d drawn; first %.1f ms, "
        "median %.1f ms of 21 (CPU %.1f ms) (budget %.0f ms)\n",
        scale, onScreen, drawn, cold, paint, Median(paintsCpu), kPaintBudgetMs);
    if (!savePath.isEmpty())
      image.save(QString(savePath).replace(".png", QStringLiteral("-%1.png").arg(scale)));
  }

  const bool ok = rebuild <= kRebuildBudgetMs && worstPaint <= kPaintBudgetMs;
  std::printf("%s\n", ok ? "within budget" : "OVER BUDGET");
  return ok ? 0 : 1;
}
