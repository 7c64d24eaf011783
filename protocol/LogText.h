#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

#include <string>
#include <string_view>

// Header only: the host library uses it too, without linking the records.
namespace protocol {

// One UTF-8 sequence at the start of svText: its code point and length, or a
// length of 0 when the bytes are not a well-formed sequence.
inline std::size_t DecodeUtf8Char(std::string_view svText, char32_t& ucChar)
{
    const auto uLead = static_cast<unsigned char>(svText[0]);
    std::size_t nLength = 0;
    char32_t ucMin = 0;
    if (uLead < 0x80) {
        ucChar = uLead;
        return 1;
    }
    if ((uLead & 0xE0) == 0xC0) {
        nLength = 2;
        ucChar = uLead & 0x1F;
        ucMin = 0x80;
    } else if ((uLead & 0xF0) == 0xE0) {
        nLength = 3;
        ucChar = uLead & 0x0F;
        ucMin = 0x800;
    } else if ((uLead & 0xF8) == 0xF0) {
        nLength = 4;
        ucChar = uLead & 0x07;
        ucMin = 0x10000;
    } else {
        return 0;
    }
    if (svText.size() < nLength)
        return 0;
    for (std::size_t i = 1; i < nLength; ++i) {
        const auto uNext = static_cast<unsigned char>(svText[i]);
        if ((uNext & 0xC0) != 0x80)
            return 0;
        ucChar = (ucChar << 6) | (uNext & 0x3F);
    }
    const bool bSurrogate = ucChar >= 0xD800 && ucChar <= 0xDFFF;
    return ucChar < ucMin || ucChar > 0x10FFFF || bSurrogate ? 0 : nLength;
}

namespace detail {

inline void AppendByte(std::string& strOut, unsigned char uByte)
{
    char szEscape[8];
    std::snprintf(szEscape, sizeof szEscape, "\\x%02x", static_cast<unsigned>(uByte));
    strOut += szEscape;
}

inline void AppendEscape(std::string& strOut, char32_t ucChar)
{
    switch (ucChar) {
    case '\n':
        strOut += "\\n";
        return;
    case '\r':
        strOut += "\\r";
        return;
    case '\t':
        strOut += "\\t";
        return;
    default:
        break;
    }
    if (ucChar < 0x80) {
        detail::AppendByte(strOut, static_cast<unsigned char>(ucChar));
        return;
    }
    char szEscape[16];
    std::snprintf(szEscape, sizeof szEscape, "\\u{%04x}", static_cast<unsigned>(ucChar));
    strOut += szEscape;
}

}  // namespace detail

// True for the characters that must never reach a log line or a file name as
// they are: control characters (C0, DEL, C1), line and paragraph separators and
// the bidirectional marks and overrides that make a text read in another order.
inline bool IsUnsafeTextChar(char32_t ucChar)
{
    return ucChar < 0x20 || (ucChar >= 0x7F && ucChar <= 0x9F) || ucChar == 0x061C || ucChar == 0x200E
           || ucChar == 0x200F || (ucChar >= 0x2028 && ucChar <= 0x202E) || (ucChar >= 0x2066 && ucChar <= 0x2069);
}

// Outside text made fit to stand inside one log line: every unsafe character is
// written as an escape (\n, \t, \x1b, \u{202e}), a backslash as \\, and bytes that
// are not UTF-8 as \xNN, so that no quote can start a line or forge one.
inline std::string EscapeForLog(std::string_view svText)
{
    std::string strOut;
    strOut.reserve(svText.size());
    while (!svText.empty()) {
        char32_t ucChar = 0;
        const std::size_t nLength = DecodeUtf8Char(svText, ucChar);
        if (nLength == 0) {
            detail::AppendByte(strOut, static_cast<unsigned char>(svText[0]));  // not UTF-8
            svText.remove_prefix(1);
            continue;
        }
        if (ucChar == '\\')
            strOut += "\\\\";
        else if (IsUnsafeTextChar(ucChar))
            detail::AppendEscape(strOut, ucChar);
        else
            strOut.append(svText.data(), nLength);
        svText.remove_prefix(nLength);
    }
    return strOut;
}

inline std::string EscapeForLog(const char* szText)
{
    return EscapeForLog(std::string_view(szText ? szText : ""));
}

inline std::string EscapeForLog(const std::string& strText)
{
    return EscapeForLog(std::string_view(strText));
}

// The same for a QString (invalid UTF-16 comes out as U+FFFD).
inline QString EscapeForLog(const QString& strText)
{
    const QByteArray baUtf8 = strText.toUtf8();
    return QString::fromStdString(EscapeForLog(std::string_view(baUtf8.constData(), std::size_t(baUtf8.size()))));
}

}  // namespace protocol
