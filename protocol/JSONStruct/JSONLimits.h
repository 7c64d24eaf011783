#pragma once
// Limits on what an inbound record may hold: far above any real alarm (a few
// kilobytes, a few dozen list elements), low enough that a hostile payload cannot
// take the process's memory or flood the log.

#include <cstddef>
#include <string>

namespace protocol {

// The largest response or alarm text that is parsed at all (its parsed tree
// takes up to some 25 times its size).
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;
// The most elements a list of a record may hold; a longer list is read as empty.
constexpr int kMaxListLength = 4096;
// How much of a refused text a log line quotes.
constexpr std::size_t kMaxQuotedChars = 160;

// The start of the text, escaped for a log line (LogText.h), and its length,
// for log lines about refused input.
std::string QuotedPrefix(const char* pText, std::size_t nLength);

}  // namespace protocol
