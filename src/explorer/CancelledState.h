#pragma once

#include <atomic>

// The cancel flag that the window shares with the long operation now running. The interface
// thread sets it (a click on the status bar) and the worker reads it between folders, rows and
// read blocks; an atomic keeps that hand-over free of data races. The window owns the one
// instance; workers only borrow it.
struct TCancelledState {
  std::atomic<bool> Cancelled{false};
};
