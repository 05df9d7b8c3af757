#include "frame_log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <utility>

#include "frame_list.h"
#include "frame_text.h"

namespace {

// The save writes through a buffer this large: a million frames are then
// some seventy writes instead of a million.
constexpr size_t kSaveBufferBytes = 1 << 20;

}  // namespace

FrameLogFile::~FrameLogFile() {
    Close();
}

FrameLogFile::FrameLogFile(FrameLogFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      failed_(std::exchange(other.failed_, false)),
      pending_(std::move(other.pending_)),
      writer_(std::exchange(other.writer_, std::nullopt)) {
    other.pending_.clear();
}

FrameLogFile& FrameLogFile::operator=(FrameLogFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        failed_ = std::exchange(other.failed_, false);
        pending_ = std::move(other.pending_);
        other.pending_.clear();
        writer_ = std::exchange(other.writer_, std::nullopt);
    }
    return *this;
}

bool FrameLogFile::Open(const std::string& path, LogFormat format) {
    Close();
    // O_APPEND keeps every line at the end even when another writer shares the file.
    const int truncate = format == LogFormat::Asc ? O_TRUNC : 0;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | truncate | O_CLOEXEC, 0644);
    failed_ = fd_ < 0;
    StartFormat(format);
    return !failed_;
}

bool FrameLogFile::Create(const std::string& path, LogFormat format) {
    Close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    failed_ = fd_ < 0;
    StartFormat(format);
    return !failed_;
}

void FrameLogFile::StartFormat(LogFormat format) {
    writer_.reset();
    if (format == LogFormat::Monitor || !Usable()) {
        return;
    }
    // Frames of the live log and of a save carry the channel clock.
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    writer_.emplace(format, LogWriter::Options{false, std::nullopt, now.count()});
    writer_->Begin(pending_);
}

void FrameLogFile::AddLine(std::string_view text) {
    if (!Usable()) {
        return;
    }
    for (const char c : text) {
        if (c == '\n') {
            pending_ += '\r';
        }
        pending_ += c;
    }
    pending_ += "\r\n";
}

void FrameLogFile::AddFrame(const CanFrameRecord& record) {
    if (!Usable()) {
        return;
    }
    if (writer_) {
        writer_->Append(pending_, LogFrameOf(record));
        return;
    }
    AppendFrameLine(pending_, record, "\r\n");
    pending_ += "\r\n";
}

void FrameLogFile::AddText(std::string_view text) {
    if (Usable()) {
        pending_ += text;
    }
}

bool FrameLogFile::Flush() {
    if (!Usable()) {
        pending_.clear();
        return false;
    }
    size_t done = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            pending_.clear();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    pending_.clear();
    return true;
}

bool FrameLogFile::WriteLine(std::string_view text) {
    AddLine(text);
    return Flush();
}

bool FrameLogFile::WriteFrame(const CanFrameRecord& record) {
    AddFrame(record);
    return Flush();
}

bool FrameLogFile::Close() {
    if (fd_ < 0) {
        pending_.clear();
        writer_.reset();
        return true;
    }
    if (writer_ && Usable()) {
        writer_->Finish(pending_);
    }
    writer_.reset();
    const bool flushed = pending_.empty() || Flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return flushed && closed;
}

bool CreateFileBeside(const std::string& path, FrameLogFile& file, std::string& created,
                      LogFormat format) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = path + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (file.Create(created, format)) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool SaveFrameListToFile(const FrameList& frames, const std::string& path,
                         const SaveProgress& progress, LogFormat format) {
    FrameLogFile file;
    std::string temporary;
    if (!CreateFileBeside(path, file, temporary, format)) {
        return false;
    }
    // Workers may still append; the save covers what was listed when it began.
    const size_t count = frames.Size();
    if (format == LogFormat::Monitor) {
        file.AddLine(kMonitorHeaderText);
    }
    bool written = true;
    for (size_t i = 0; i < count && written; ++i) {
        file.AddFrame(frames.At(i));
        if (file.Pending() >= kSaveBufferBytes) {
            written = file.Flush();
        }
        if (written && progress) {
            progress(i + 1, count);
        }
    }
    written = written && file.Flush();
    const bool closed = file.Close();
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
