// SPDX-License-Identifier: GPL-3.0-or-later
// Opening picture files without blocking, and writing files so that nothing
// already on disk is lost: regular files are replaced atomically, devices and
// pipes are written in place, "-" is standard input or output.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

// An open file descriptor, closed with the object.
struct FileDescriptor {
    int fd = -1;
    qint64 size = 0; // of a regular file
    FileDescriptor() = default;
    FileDescriptor(FileDescriptor&& other) noexcept : fd(other.fd), size(other.size) {
        other.fd = -1;
    }
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    ~FileDescriptor();
};

// A path that opens the file behind fd again ("/proc/self/fd/N"), for
// libraries that take a file name.
QString FileDescriptorPath(int fd);

// A whole file's bytes.
struct FileContents {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

// Reads the file at path into memory in one go (a file that shrinks while it
// is read yields what was there). False when it cannot be opened or memory
// for it cannot be had.
bool ReadWholeFile(const QString& path, FileContents* contents);

// Opens a picture file for reading: "-" is standard input (read to its end),
// anything else must be a regular file that is not empty. A pipe, a device, a
// folder or a system file of unknown size is refused without waiting on it;
// error says why.
FileDescriptor OpenForDecoding(const QString& path, QString* error);

// Writes a file through write(path) without ever destroying what is there:
// - "-" and an existing character device or pipe get the finished file's
//   bytes written in place;
// - a regular file (or a new name) is written to an unnamed temporary file in
//   its folder, flushed, and renamed over the name, following symbolic links
//   so that a link stays a link and its target is replaced;
// - anything else (a folder, a socket) is refused.
// Temporary files of the same target left by a program that was killed are
// removed first. On failure error holds the reason and nothing changed.
bool WriteFileSafely(const QString& path, const std::function<bool(const QString&)>& write,
                     QString* error);
