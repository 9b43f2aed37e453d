#pragma once

#include <QByteArray>

#include <cstdint>

// Copying one file into a folder, by raw byte paths (names that are not valid UTF-8 work).
//
// The content goes to a new temporary file in the destination folder (created exclusively,
// mode 0600 while it is written), is flushed to disk, gets the source's permission bits and
// its access and modification times, and is then renamed over the target. So a target of the
// same name is replaced whole or not at all, never left half-written, and on any failure the
// temporary file is removed again. The flush before the rename is what makes "whole or not at
// all" hold across a crash too; it costs time per file, which the copy command accepts.
//
// Not carried over: the owner (the copy belongs to whoever copies), the set-user-ID,
// set-group-ID and sticky bits (a copy made by someone else must not gain them), extended
// attributes and holes of sparse files.

enum TCopyResult : std::uint8_t {
  cprCopied,            // the target now holds a complete copy
  cprSourceUnreadable,  // the source is missing, not permitted, or failed while being read
  cprNotRegularFile,    // the source is a folder, FIFO, socket or device node
  cprSameFile,          // the target is the source itself (same device and inode): untouched
  cprTargetFailed,      // the destination could not take the copy (permission, space, a folder
                        // of the same name, ...); nothing of the copy is left behind
};

// Copies `sourcePath` (following a symbolic link to its target's content) to
// `folder` + "/" + the source's file name, replacing a file of that name.
TCopyResult CopyFileInto(const QByteArray& sourcePath, const QByteArray& folder);
