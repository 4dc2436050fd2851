// SPDX-License-Identifier: GPL-3.0-or-later
// Non-blocking opens, in-place streams and atomic replacement of files.
#include "core/file_io.h"

#include "core/file_names.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes all of data to fd; false with errno set when the system refuses.
bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

// Copies everything from one descriptor to another.
bool copyAll(int from, int to, QString* error) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return *error = systemError(errno), false;
        if (n == 0) return true;
        if (!writeAll(to, buffer, n)) return *error = systemError(errno), false;
    }
}

int anonymousFile() {
    return ::memfd_create("lumaset", MFD_CLOEXEC);
}

// Runs write into a path for fd. The reason of a failure is the system's
// error when there is one (a full disk), else a plain one.
bool writeThrough(int fd, const std::function<bool(const QString&)>& write, QString* error) {
    errno = 0;
    if (write(FileDescriptorPath(fd))) return true;
    *error = errno != 0 ? systemError(errno) : QStringLiteral("the picture could not be written");
    return false;
}

// Writes the file into memory, then its bytes to target.
bool streamTo(int target, const std::function<bool(const QString&)>& write, QString* error) {
    FileDescriptor memory;
    memory.fd = anonymousFile();
    if (memory.fd < 0) return *error = systemError(errno), false;
    if (!writeThrough(memory.fd, write, error)) return false;
    if (::lseek(memory.fd, 0, SEEK_SET) < 0) return *error = systemError(errno), false;
    return copyAll(memory.fd, target, error);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// Follows symbolic links (at most 40, as the system does) to the name a
// replacement must take.
QByteArray resolveLinks(QByteArray path) {
    for (int i = 0; i < 40; ++i) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n <= 0) break;
        QByteArray next(target, n);
        path = next.startsWith('/') ? next : folderOf(path) + "/" + next;
    }
    return path;
}

// Temporary files of a target are named ".NAME.lumaset-PID-XXXXXX".
QByteArray temporaryPrefix(const QByteArray& name) {
    return "." + name + ".lumaset-";
}

// Removes the temporaries of name in folder whose program is gone.
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& name) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    const QByteArray prefix = temporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray entryName(entry->d_name);
        if (!entryName.startsWith(prefix)) continue;
        const QByteArray rest = entryName.mid(prefix.size());
        bool ok = false;
        const pid_t pid = pid_t(rest.left(rest.indexOf('-')).toLong(&ok));
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Replaces the regular file (or new name) real with what write makes.
bool replaceFile(const QByteArray& real, mode_t mode,
                 const std::function<bool(const QString&)>& write, QString* error) {
    const QByteArray folder = folderOf(real), name = nameOf(real);
    removeStaleTemporaries(folder, name);
    const QByteArray pattern =
        folder + "/" + temporaryPrefix(name) + QByteArray::number(::getpid()) + "-XXXXXX";

    // An unnamed file disappears by itself if the program is killed; it gets a
    // (temporary) name only once it is complete.
    FileDescriptor temp;
    temp.fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = temp.fd >= 0;
    QByteArray tempName = pattern;
    if (!unnamed) {
        temp.fd = ::mkostemp(tempName.data(), O_CLOEXEC);
        if (temp.fd < 0) return *error = systemError(errno), false;
    }
    auto fail = [&](const QString& why) {
        if (!unnamed) ::unlink(tempName.constData());
        *error = why;
        return false;
    };
    if (!writeThrough(temp.fd, write, error)) return fail(*error);
    if (::fchmod(temp.fd, mode) != 0 || ::fsync(temp.fd) != 0) return fail(systemError(errno));
    if (unnamed) {
        // linkat cannot replace a name, so the finished file is linked under a
        // fresh temporary name and renamed from there.
        const QByteArray source = EncodeFileName(FileDescriptorPath(temp.fd));
        for (int attempt = 0;; ++attempt) {
            tempName = pattern;
            const int probe = ::mkostemp(tempName.data(), O_CLOEXEC);
            if (probe < 0) return fail(systemError(errno));
            ::close(probe);
            ::unlink(tempName.constData());
            if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, tempName.constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                break;
            if (errno != EEXIST || attempt > 10) {
                *error = systemError(errno);
                return false;
            }
        }
    }
    if (::rename(tempName.constData(), real.constData()) != 0) {
        const int why = errno;
        ::unlink(tempName.constData());
        *error = systemError(why);
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace

FileDescriptor::~FileDescriptor() {
    if (fd >= 0) ::close(fd);
}

QString FileDescriptorPath(int fd) {
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

bool ReadWholeFile(const QString& path, FileContents* contents) {
    FileDescriptor file;
    file.fd = ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || st.st_size < 0) return false;
    const std::size_t size = std::size_t(st.st_size);
    contents->data.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(size, 1)]);
    if (!contents->data) return false;
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(file.fd, contents->data.get() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    contents->size = got;
    return true;
}

FileDescriptor OpenForDecoding(const QString& path, QString* error) {
    FileDescriptor file;
    if (path == QLatin1String("-")) {
        // Standard input may be a pipe: it is read once, into memory.
        file.fd = anonymousFile();
        if (file.fd < 0 || !copyAll(STDIN_FILENO, file.fd, error)) {
            if (error->isEmpty()) *error = systemError(errno);
            return FileDescriptor();
        }
        file.size = ::lseek(file.fd, 0, SEEK_CUR);
        ::lseek(file.fd, 0, SEEK_SET);
        if (file.size == 0) {
            *error = QStringLiteral("standard input is empty");
            return FileDescriptor();
        }
        return file;
    }
    file.fd =
        ::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file.fd < 0) {
        *error = errno == ENOENT ? QStringLiteral("no such file") : systemError(errno);
        return file;
    }
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) {
        *error = systemError(errno);
        return FileDescriptor();
    }
    if (S_ISDIR(st.st_mode))
        *error = QStringLiteral("is a folder, not a picture");
    else if (S_ISFIFO(st.st_mode))
        *error = QStringLiteral("is a pipe, not a picture file (use - to read standard input)");
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        *error = QStringLiteral("is a device, not a picture file");
    else if (!S_ISREG(st.st_mode))
        *error = QStringLiteral("is not a regular file");
    else if (st.st_size == 0) {
        struct statfs fs {};
        const bool system = ::fstatfs(file.fd, &fs) == 0 &&
                            (fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC);
        *error = system ? QStringLiteral("is a system file whose size is not known, not a picture")
                        : QStringLiteral("the file is empty");
    }
    if (!error->isEmpty()) return FileDescriptor();
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    file.size = st.st_size;
    return file;
}

bool WriteFileSafely(const QString& path, const std::function<bool(const QString&)>& write,
                     QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    if (path == QLatin1String("-")) return streamTo(STDOUT_FILENO, write, error);
    const QByteArray name = EncodeFileName(path);
    struct stat st {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return *error = QStringLiteral("is a folder"), false;
        if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
            FileDescriptor target;
            target.fd = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (target.fd < 0) return *error = systemError(errno), false;
            return streamTo(target.fd, write, error);
        }
        if (!S_ISREG(st.st_mode))
            return *error = QStringLiteral("is not a regular file, a device or a pipe; refused"),
                   false;
        // A file without its owner's write permission is read-only, even for root.
        if (::access(name.constData(), W_OK) != 0 || !(st.st_mode & S_IWUSR))
            return *error = QStringLiteral("the file is read-only"), false;
    } else if (errno != ENOENT) {
        return *error = systemError(errno), false;
    }
    const mode_t mode = exists ? (st.st_mode & 07777) : 0644;
    return replaceFile(resolveLinks(name), mode, write, error);
}
