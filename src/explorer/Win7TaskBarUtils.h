#pragma once

#include <cstdint>

// Progress on the program's task-bar button, shown through the desktop's launcher progress
// (the session bus). All four do nothing and return false while it is not available, so
// every long operation still works and shows its progress in the window alone.

// Takes the session bus when it is connected; returns whether launcher progress is
// available. Returns true at once when it already is, otherwise tries again.
bool InitTaskbarProgress();

// Whether InitTaskbarProgress found the session bus.
bool TaskbarProgressAvailable();

// 0 none, 1 indeterminate, 2 normal, 3 error, 4 paused. The launcher draws no kinds of bar,
// so 1 to 4 show the progress and none (or any other value) hides it. Returns whether the
// desktop was told.
bool SetTaskbarProgressState(int state);

// Shows completed / total on the button. Returns whether the call succeeded.
bool SetTaskbarProgressValue(std::uint64_t completed, std::uint64_t total);
