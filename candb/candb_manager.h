#pragma once

// The database manager: loads a DBC file through the database library into
// a model of its own and decodes frames with it. User-interface thread only.

#include <string>
#include <vector>

#include "can/can_frame_record.h"
#include "candb/candb_message.h"

// A statement of the file that the library skipped, or read only in part.
struct CandbReadProblem {
    int line = 0;
    std::string reason;
};

class CCANdbManager {
public:
    // Loads the database library (see kvadb_binding.h).
    CCANdbManager();
    virtual ~CCANdbManager();
    CCANdbManager(const CCANdbManager&) = delete;
    CCANdbManager& operator=(const CCANdbManager&) = delete;

    // Reads a DBC file into the model. On false status and text tell why;
    // a file that cannot be read keeps the previous model. Statements the
    // library skipped are in readProblems, with one warning line in the log.
    bool Load(const std::string& path, int& status, std::string& text);
    void Clear();
    // Sorted by name; each message's signals sorted by name.
    const std::vector<CandbMessage>& Messages() const { return messages; }

    // Fills decodedTexts with name, value text and value-table text of every
    // signal the frame carries; true when at least one signal was decoded.
    bool Decode(const CanFrameRecord& record);

    std::vector<CandbMessage> messages;
    std::vector<std::string> decodedTexts;
    // Of the file the model was read from: how many statements the library
    // skipped or read in part, and those it lists.
    size_t readProblemCount = 0;
    std::vector<CandbReadProblem> readProblems;
};

// The program's one instance.
CCANdbManager& TheCandbManager();

// Ordinal comparison of the UTF-16 code units of two UTF-8 names.
bool CandbNameLess(const std::string& a, const std::string& b);
