#pragma once
// The support log: one line for every failure the add-in went on past or told the user of,
// so that an administrator has something to read when a user says a list looked wrong. A
// line names where it happened and the error number; the host's own words (which can carry
// a contact's name or address) only when detailed logging is on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/failure.h"

namespace host {

// Whether the user was shown the failure, or the add-in went on without a word.
enum class Shown : bool { no, yes };

// What a line says besides the failure: when, and which Outlook and add-in.
struct LogContext {
    std::u16string time;  // "2026-12-09 19:30:05Z"
    std::u16string host_version;
    std::u16string addin_version;
    bool detailed = false;
};

// One line of the log, without its line end: time, Outlook's version, the add-in's version,
// the member, the number in decimal and hexadecimal, shown or went on; then the host's
// words when detailed, with tabs and line breaks turned to spaces so a line stays a line.
std::u16string log_line(const LogContext& context, const Failure& failure, Shown shown);

// The most a log file grows to before it gives way to a new one (one older file is kept).
inline constexpr size_t log_size_limit = 1024 * 1024;

// Whether a file of `size` bytes must give way before a line of `line` bytes is added. A
// line never starts a new file on its own: an empty file takes it whatever its length.
constexpr bool log_needs_rotation(size_t size, size_t line) {
    return size > 0 && size + line > log_size_limit;
}

}  // namespace host
