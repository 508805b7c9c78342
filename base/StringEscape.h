// Quoting of texts. Two different conventions exist in the system's output:
// the tree printer escapes only double quotes and backslashes, while the
// printed forms of records (strings inside shown values) use the full
// escape set of the system's value printer.
#pragma once

#include <string>
#include <string_view>

namespace kelvor {

// Each double quote and backslash preceded by a backslash; every other byte,
// control characters included, unchanged.
void appendEscaped(std::string& out, std::string_view s);

// A double quote, appendEscaped(s), a double quote.
void appendQuoted(std::string& out, std::string_view s);

// The value printer's string form: in double quotes; \" and \\; the
// control characters as \n, \t, ... or their ASCII names (\NUL, \SOH, ...,
// \DEL); bytes from 128 up as decimal escapes, with "\&" inserted where the
// next character is a digit (and after \SO before an H) so the text reads
// back unambiguously.
void appendHaskellString(std::string& out, std::string_view s);
std::string showHaskellString(std::string_view s);

}  // namespace kelvor
