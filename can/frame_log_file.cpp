#include "frame_log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "frame_list.h"
#include "frame_text.h"

FrameLogFile::~FrameLogFile() {
    Close();
}

FrameLogFile::FrameLogFile(FrameLogFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), failed_(std::exchange(other.failed_, false)) {}

FrameLogFile& FrameLogFile::operator=(FrameLogFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        failed_ = std::exchange(other.failed_, false);
    }
    return *this;
}

bool FrameLogFile::Open(const std::string& path) {
    Close();
    // O_APPEND keeps every line at the end even when another writer shares the file.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    failed_ = fd_ < 0;
    return !failed_;
}

bool FrameLogFile::WriteLine(const std::string& text) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    buffer_.clear();
    buffer_.reserve(text.size() + 16);
    for (const char c : text) {
        if (c == '\n') {
            buffer_ += '\r';
        }
        buffer_ += c;
    }
    buffer_ += "\r\n";
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool FrameLogFile::WriteFrame(const CanFrameRecord& record) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    return WriteLine(FormatFrameLine(record));
}

bool FrameLogFile::Close() {
    if (fd_ < 0) {
        return true;
    }
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
}

bool SaveFrameListToFile(const FrameList& frames, const std::string& path,
                         const SaveProgress& progress) {
    ::unlink(path.c_str());
    FrameLogFile file;
    if (!file.Open(path)) {
        return false;
    }
    // Workers may still append; the save covers what was listed when it began.
    const size_t count = frames.Size();
    bool written = file.WriteLine(kMonitorHeaderText);
    for (size_t i = 0; i < count && written; ++i) {
        written = file.WriteFrame(frames.At(i));
        if (written && progress) {
            progress(i + 1, count);
        }
    }
    return file.Close() && written;
}
