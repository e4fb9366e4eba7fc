#pragma once
// Date literals of the script (#...#), read as VBScript reads them whatever the machine's locale.
#include <QString>
#include <optional>

namespace script {

// The serial of a date literal's text (what stands between the "#"): numeric dates month first
// (3/1/2025, 3-1-25) or year first with four digits (2025-03-01), English month names
// (March 1, 2025; 1-Mar-2025), an optional time (13:30, 1:30:15 PM), or a time alone.
// Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999; a date without a year is in this year.
// nullopt when the text is no date.
std::optional<double> parseDateLiteral(const QString& text);

}  // namespace script
