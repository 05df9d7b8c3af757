#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "can_frame_record.h"

class FrameList;

// A monitor log file: single-byte text, every "\n" stored as CR LF, open to
// other readers and writers. Lines are collected and handed to the system
// together by Flush: one write for a batch of frames instead of one a line.
class FrameLogFile {
public:
    FrameLogFile() = default;
    ~FrameLogFile();
    FrameLogFile(FrameLogFile&& other) noexcept;
    FrameLogFile& operator=(FrameLogFile&& other) noexcept;
    FrameLogFile(const FrameLogFile&) = delete;
    FrameLogFile& operator=(const FrameLogFile&) = delete;

    // Opens path for appending at its end, creating it. False (and Failed())
    // when it cannot.
    bool Open(const std::string& path);
    // Creates path, which must not exist yet.
    bool Create(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // An open that failed or a write that failed; later lines are skipped.
    bool Failed() const { return failed_; }

    // Adds text and a line end to the lines waiting for Flush.
    void AddLine(std::string_view text);
    // Adds the frame's monitor line.
    void AddFrame(const CanFrameRecord& record);
    // Bytes waiting for Flush.
    size_t Pending() const { return pending_.size(); }
    // Writes every waiting line. False when the file is not usable; the
    // lines are then dropped.
    bool Flush();

    // A line written at once.
    bool WriteLine(std::string_view text);
    bool WriteFrame(const CanFrameRecord& record);
    // Writes what waits, then closes. False when that or the close failed
    // (data may be lost).
    bool Close();

private:
    bool Usable() const { return fd_ >= 0 && !failed_; }

    int fd_ = -1;
    bool failed_ = false;
    std::string pending_;
};

// Called after each record written: its number from 1 and the record count.
using SaveProgress = std::function<void(size_t number, size_t count)>;

// Replaces the file at path with the header line and the line of every record
// listed when the save starts. The lines go to a new file beside it, which
// takes the name only once everything is written: a save that fails leaves
// the old file as it was. False when the new file cannot be made or written.
bool SaveFrameListToFile(const FrameList& frames, const std::string& path,
                         const SaveProgress& progress);
