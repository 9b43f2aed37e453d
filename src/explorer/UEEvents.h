#pragma once

#include <QEvent>

#include <cstdint>
#include <memory>
#include <utility>

// The events that workers post to the main window. Workers never touch a model or a widget;
// they reach the window only through these, posted with QCoreApplication::postEvent, and the
// window acts on them on the interface thread. The numbers are fixed (not registered at run
// time) so that every part of the program agrees on them; all lie above QEvent::User.
constexpr int WM_UE_PROGRESS = 1125;       // TUEProgressEvent, from the background work thread
constexpr int WM_UE_THUMBPROGRESS = 1126;  // TUEThumbProgressEvent, from the thumbnail workers
constexpr int WM_UE_SCANBATCH = 1127;      // TUEBatchEvent, finished rows of the background thread
constexpr int WM_UE_DIGESTBATCH = 1128;    // TUEDigestBatchEvent, digests and selections of a pass

// Progress of the background work: the scan posts (percentage of the drive's used space
// listed so far, 100), the passes (rows handled so far, rows at the start).
class TUEProgressEvent : public QEvent {
 public:
  TUEProgressEvent(std::int64_t done, std::int64_t total)
      : QEvent(static_cast<QEvent::Type>(WM_UE_PROGRESS)), FDone(done), FTotal(total) {}

  std::int64_t Done() const { return FDone; }
  std::int64_t Total() const { return FTotal; }

 private:
  std::int64_t FDone;
  std::int64_t FTotal;
};

// Progress of the thumbnail workers: pictures handled of those requested.
class TUEThumbProgressEvent : public QEvent {
 public:
  TUEThumbProgressEvent(std::int64_t handled, std::int64_t requested)
      : QEvent(static_cast<QEvent::Type>(WM_UE_THUMBPROGRESS)),
        FHandled(handled),
        FRequested(requested) {}

  std::int64_t Handled() const { return FHandled; }
  std::int64_t Requested() const { return FRequested; }

 private:
  std::int64_t FHandled;
  std::int64_t FRequested;
};

// A batch of finished work handed from a worker to the interface thread: the worker builds
// the batch (rows with filled records, digests, ...) and gives up ownership; the receiver
// takes it out with Take<T>() and applies it. The batch type belongs to whoever produces it;
// this event only carries it. A batch that nobody takes (the event was dropped, or the
// receiver was destroyed first) is freed with the event, so nothing leaks.
class TUEBatchEvent : public QEvent {
 public:
  template <class T>
  explicit TUEBatchEvent(std::unique_ptr<T> batch)
      : QEvent(static_cast<QEvent::Type>(WM_UE_SCANBATCH)),
        FPayload(std::make_unique<THolder<T>>(std::move(batch))) {}

  // The batch when it is of type T and not yet taken; nullptr otherwise.
  template <class T>
  std::unique_ptr<T> Take() {
    auto* holder = dynamic_cast<THolder<T>*>(FPayload.get());
    return holder != nullptr ? std::move(holder->Value) : nullptr;
  }

 private:
  struct TPayload {
    virtual ~TPayload() = default;
  };
  template <class T>
  struct THolder : TPayload {
    explicit THolder(std::unique_ptr<T> value) : Value(std::move(value)) {}
    std::unique_ptr<T> Value;
  };

  std::unique_ptr<TPayload> FPayload;
};

// Digests and selection changes of a pass (TDigestBatch, BackThread.h), owned by the event
// until the receiver takes them; a batch nobody takes is freed with the event.
template <class TBatch>
class TUEOwningEvent : public QEvent {
 public:
  TUEOwningEvent(int type, std::unique_ptr<TBatch> batch)
      : QEvent(static_cast<QEvent::Type>(type)), FBatch(std::move(batch)) {}
  std::unique_ptr<TBatch> Take() { return std::move(FBatch); }

 private:
  std::unique_ptr<TBatch> FBatch;
};
