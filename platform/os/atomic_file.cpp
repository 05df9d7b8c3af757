#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "paths.h"

namespace os {

namespace {

std::atomic<AtomicWriteHook> g_hook{nullptr};

bool Fail(std::string* error, const std::string& what, int err) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(err);
    }
    return false;
}

// The file a write must replace: the target of a symbolic link, so that the
// link itself survives the rename.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

bool WriteAll(int fd, std::string_view contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

void SetAtomicWriteHookForTest(AtomicWriteHook hook) {
    g_hook.store(hook);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
    if (path.empty()) {
        if (error != nullptr) {
            *error = "no file name";
        }
        return false;
    }
    const std::string target = ResolveTarget(path);
    const std::string folder = DirName(target);
    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        if (error != nullptr) {
            *error = target + ": not a regular file";
        }
        return false;
    }

    std::string leaf(1, '.');
    leaf.append(BaseName(target));
    leaf.append(".tmpXXXXXX");
    const std::string pattern = JoinPath(folder, leaf);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        return Fail(error, "cannot create a temporary file in " + folder, errno);
    }
    const std::string temp(name.data());
    auto abandon = [&](const std::string& what, int err) {
        close(fd);
        unlink(temp.c_str());
        return Fail(error, what, err);
    };

    mode_t mode = 0666;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode &= ~mask;
    }
    if (fchmod(fd, mode) != 0) {
        return abandon("cannot set the mode of " + temp, errno);
    }
    if (!WriteAll(fd, contents)) {
        return abandon("cannot write " + temp, errno);
    }
    if (fsync(fd) != 0) {
        return abandon("cannot sync " + temp, errno);
    }
    if (AtomicWriteHook hook = g_hook.load(); hook != nullptr && !hook(temp)) {
        return abandon("write of " + target + " interrupted", EIO);
    }
    if (close(fd) != 0) {
        unlink(temp.c_str());
        return Fail(error, "cannot close " + temp, errno);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        return Fail(error, "cannot replace " + target, err);
    }
    // The rename is durable only once the folder entry is on disk.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error,
                   size_t maxSize, bool* missing) {
    if (missing != nullptr) {
        *missing = false;
    }
    contents->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing != nullptr) {
            *missing = errno == ENOENT;
        }
        return Fail(error, "cannot open " + path, errno);
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Fail(error, path + " is not a regular file", EINVAL);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            close(fd);
            return Fail(error, "cannot read " + path, err);
        }
        if (n == 0) {
            break;
        }
        if (contents->size() + static_cast<size_t>(n) > maxSize) {
            close(fd);
            contents->clear();
            return Fail(error, path + " is too large", EFBIG);
        }
        contents->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

}  // namespace os
