#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

// The "drives" of the drive box: the mounted file systems that hold the user's files. A scan
// never crosses from one mounted file system into another, so each one is offered on its own.
//
// Paths are raw file-system bytes (a mount point need not be valid UTF-8).

// Mount points listed in a /proc/self/mountinfo text that hold files: root first, then the
// others in table order, each once. Left out: pseudo and memory file systems (proc, sysfs,
// cgroup, devpts, tmpfs, ...), read-only package images (squashfs), desktop helper mounts
// (fuse.gvfsd-fuse, fuse.portal) and anything mounted below /proc, /sys, /dev or /run, except
// removable media under /run/media. Malformed lines are skipped.
std::vector<QByteArray> MountPointsFromMountInfo(QByteArrayView mountInfo);

// The live drive list: the mount points of this process's mount table that are folders,
// followed by the user's home folder when it is not one of them.
std::vector<QByteArray> AvailableDrives();
