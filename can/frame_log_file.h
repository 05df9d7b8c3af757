#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "can_frame_record.h"
#include "log_format.h"
#include "log_writer.h"

class FrameList;

// A log file: single-byte text, open to other readers and writers; by
// default the monitor log, every "\n" stored as CR LF. Lines are collected
// and handed to the system together by Flush: one write for a batch of
// frames instead of one a line.
class FrameLogFile {
public:
    FrameLogFile() = default;
    ~FrameLogFile();
    FrameLogFile(FrameLogFile&& other) noexcept;
    FrameLogFile& operator=(FrameLogFile&& other) noexcept;
    FrameLogFile(const FrameLogFile&) = delete;
    FrameLogFile& operator=(const FrameLogFile&) = delete;

    // Opens path for appending at its end, creating it. False (and Failed())
    // when it cannot. An ASC log starts anew instead: a second head in the
    // middle of a file is no ASC log; its head waits for Flush.
    bool Open(const std::string& path, LogFormat format = LogFormat::Monitor);
    // Creates path, which must not exist yet.
    bool Create(const std::string& path, LogFormat format = LogFormat::Monitor);
    bool IsOpen() const { return fd_ >= 0; }
    // An open that failed or a write that failed; later lines are skipped.
    bool Failed() const { return failed_; }

    // Adds text and a line end to the lines waiting for Flush.
    void AddLine(std::string_view text);
    // Adds the frame's line in the file's format.
    void AddFrame(const CanFrameRecord& record);
    // Adds text as it is.
    void AddText(std::string_view text);
    // Bytes waiting for Flush.
    size_t Pending() const { return pending_.size(); }
    // Writes every waiting line. False when the file is not usable; the
    // lines are then dropped.
    bool Flush();

    // A line written at once.
    bool WriteLine(std::string_view text);
    bool WriteFrame(const CanFrameRecord& record);
    // Writes what waits and the format's end (ASC's end of the trigger
    // block), then closes. False when that or the close failed (data may be
    // lost).
    bool Close();

private:
    bool Usable() const { return fd_ >= 0 && !failed_; }
    // The writer of the formats other than the monitor log, and its head.
    void StartFormat(LogFormat format);

    int fd_ = -1;
    bool failed_ = false;
    std::string pending_;
    std::optional<LogWriter> writer_;
};

// Creates a file of a name beside path that nothing uses yet (path with a
// suffix) and names it in created. False with errno when it cannot.
bool CreateFileBeside(const std::string& path, FrameLogFile& file, std::string& created,
                      LogFormat format = LogFormat::Monitor);

// Called after each record written: its number from 1 and the record count.
using SaveProgress = std::function<void(size_t number, size_t count)>;

// Replaces the file at path with the header line and the line of every record
// listed when the save starts (in another format, that format's head, lines
// and end). The lines go to a new file beside it, which takes the name only
// once everything is written: a save that fails leaves the old file as it
// was. False when the new file cannot be made or written.
bool SaveFrameListToFile(const FrameList& frames, const std::string& path,
                         const SaveProgress& progress, LogFormat format = LogFormat::Monitor);
