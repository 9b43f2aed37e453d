#pragma once

#include <QByteArray>

// Opens a file with the desktop's default application for its type. The path is the file's
// raw bytes. Returns whether the desktop accepted the request; callers may ignore it, since a
// file that cannot be opened is not reported.
bool ShellOpen(const QByteArray& path);
