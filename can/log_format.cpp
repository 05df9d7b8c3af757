#include "log_format.h"

#include "log_text.h"

const char* LogFormatName(LogFormat format) {
    switch (format) {
        case LogFormat::Candump:
            return "candump";
        case LogFormat::Asc:
            return "asc";
        case LogFormat::Monitor:
            break;
    }
    return "monitor";
}

std::optional<LogFormat> LogFormatFromName(std::string_view name) {
    for (const LogFormat format : {LogFormat::Monitor, LogFormat::Candump, LogFormat::Asc}) {
        if (log_text::EqualsIgnoringCase(name, LogFormatName(format))) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<LogFormat> LogFormatFromExtension(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view extension = name.substr(dot + 1);
    if (log_text::EqualsIgnoringCase(extension, "txt")) {
        return LogFormat::Monitor;
    }
    if (log_text::EqualsIgnoringCase(extension, "log")) {
        return LogFormat::Candump;
    }
    if (log_text::EqualsIgnoringCase(extension, "asc")) {
        return LogFormat::Asc;
    }
    return std::nullopt;
}

LogFrame LogFrameOf(const CanFrameRecord& record) {
    return LogFrame{record, static_cast<int64_t>(record.timestamp)};
}

bool IsCanFdLength(uint32_t length) {
    return length <= 8 || length == 12 || length == 16 || length == 20 || length == 24 ||
           length == 32 || length == 48 || length == 64;
}

uint32_t CanFdLengthCode(uint32_t length) {
    static constexpr uint32_t kLengths[] = {12, 16, 20, 24, 32, 48, 64};
    if (length <= 8) {
        return length;
    }
    for (uint32_t i = 0; i < 7; ++i) {
        if (length <= kLengths[i]) {
            return 9 + i;
        }
    }
    return 15;
}

const char* FrameProblem(const CanFrameRecord& record) {
    if (record.flags & kMsgErrorFrame) {
        return record.dlc > kMaxFrameBytes ? "an error frame longer than 64 bytes" : nullptr;
    }
    const bool fd = (record.flags & kFdMsgFdf) != 0;
    if (record.flags & kMsgExt) {
        if (record.id > 0x1FFFFFFF) {
            return "an extended identifier above 1FFFFFFF";
        }
    } else if (record.id > 0x7FF) {
        return "a standard identifier above 7FF";
    }
    if (fd) {
        if (record.flags & kMsgRtr) {
            return "a CAN FD frame cannot be a remote frame";
        }
        if (!IsCanFdLength(record.dlc)) {
            return "a length that CAN FD frames do not have";
        }
    } else {
        if (record.flags & (kFdMsgBrs | kFdMsgEsi)) {
            return "bit-rate switch or error state on a classic frame";
        }
        if (record.dlc > 8) {
            return "a classic frame longer than 8 bytes";
        }
    }
    return nullptr;
}

int ChannelAssigner::Assign(std::string_view name, int wanted) {
    for (int i = 0; i < kChannelCount; ++i) {
        if (used_[i] && names_[i] == name) {
            return i;
        }
    }
    int index = -1;
    if (wanted >= 0 && wanted < kChannelCount && !used_[wanted]) {
        index = wanted;
    } else {
        for (int i = 0; i < kChannelCount && index < 0; ++i) {
            if (!used_[i]) {
                index = i;
            }
        }
    }
    if (index >= 0) {
        used_[index] = true;
        names_[index] = std::string(name);
    }
    return index;
}

int TrailingNumber(std::string_view name) {
    size_t start = name.size();
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') {
        --start;
    }
    const std::string_view digits = name.substr(start);
    if (digits.empty() || digits.size() > 6) {
        return -1;
    }
    return static_cast<int>(*log_text::ParseUnsigned(digits, 10, 6));
}
