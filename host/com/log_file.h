#pragma once
// The support log's file on Windows: %LOCALAPPDATA%\Quillamor\Quillamor.log, UTF-8, one line
// a failure. At about a megabyte it gives way to a new one, the older kept beside it as
// Quillamor.old.log, so the log never grows without end. Nothing here ever fails or shows
// anything: a log that cannot be written is simply not written.
#include <optional>
#include <string>
#include <string_view>

namespace host::com {

inline constexpr wchar_t log_file_name[] = L"Quillamor.log";
inline constexpr wchar_t old_log_file_name[] = L"Quillamor.old.log";

// The log's folder: Quillamor under the user's local application data (LOCALAPPDATA, or the
// known folder where the variable is not set). Nothing when neither can be read.
std::optional<std::wstring> log_folder();

// Adds one line (a line end is added) to the log in `folder`, making the folder when it is
// missing and turning the file over when the line would take it past its limit.
void append_log_line(const std::wstring& folder, std::u16string_view line) noexcept;

// Whether the log carries the host's words (which can hold names and addresses): the
// DetailedLog value (a DWORD, nonzero for on) of the policy key under HKLM, else of the one
// under HKCU, else of the user's own settings key; off when none is set.
bool detailed_logging();

}  // namespace host::com
