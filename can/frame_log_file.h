#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "can_frame_record.h"

class FrameList;

// A monitor log file: single-byte text, every "\n" stored as CR LF, opened
// for appending at its end, open to other readers and writers, each line
// written whole and at once.
class FrameLogFile {
public:
    FrameLogFile() = default;
    ~FrameLogFile();
    FrameLogFile(FrameLogFile&& other) noexcept;
    FrameLogFile& operator=(FrameLogFile&& other) noexcept;
    FrameLogFile(const FrameLogFile&) = delete;
    FrameLogFile& operator=(const FrameLogFile&) = delete;

    // Opens path for appending, creating it. False (and Failed()) when it cannot.
    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // An open that failed or a write that failed; later lines are skipped.
    bool Failed() const { return failed_; }
    // Writes text and a line end. False when the file is not usable.
    bool WriteLine(const std::string& text);
    // Writes the frame's monitor line.
    bool WriteFrame(const CanFrameRecord& record);
    // False when the close reported a failure (data may be lost).
    bool Close();

private:
    int fd_ = -1;
    bool failed_ = false;
    std::string buffer_;  // the line with CR LF ends, reused
};

// Called after each record written: its number from 1 and the record count.
using SaveProgress = std::function<void(size_t number, size_t count)>;

// Replaces the file at path with the header line and the line of every record
// listed when the save starts. False when the file cannot be opened or a
// write or the close fails.
bool SaveFrameListToFile(const FrameList& frames, const std::string& path,
                         const SaveProgress& progress);
