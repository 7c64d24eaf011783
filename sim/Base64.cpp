#include "sim/Base64.h"

#include <array>
#include <cstdint>

namespace AlarmSim {
namespace {

constexpr int kInvalid = -1;

constexpr std::array<int8_t, 256> MakeTable()
{
    std::array<int8_t, 256> table{};
    for (auto& n : table)
        n = kInvalid;
    const char* szAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(szAlphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr std::array<int8_t, 256> kTable = MakeTable();

inline int Value(char ch)
{
    return kTable[static_cast<unsigned char>(ch)];
}

} // namespace

bool DecodeBase64(std::string_view svText, std::string& strOut)
{
    size_t nLength = svText.size();
    size_t nPadding = 0;
    while (nLength > 0 && nPadding < 2 && svText[nLength - 1] == '=') {
        --nLength;
        ++nPadding;
    }
    const size_t nTail = nLength % 4;
    if (nTail == 1 || (nPadding > 0 && (nLength + nPadding) % 4 != 0))
        return false;
    strOut.resize(nLength / 4 * 3 + (nTail ? nTail - 1 : 0));
    char* pOut = strOut.data();
    size_t i = 0;
    for (; i + 4 <= nLength; i += 4) {
        const int a = Value(svText[i]), b = Value(svText[i + 1]), c = Value(svText[i + 2]), d = Value(svText[i + 3]);
        if ((a | b | c | d) < 0)
            return false;
        const uint32_t uBits = uint32_t(a) << 18 | uint32_t(b) << 12 | uint32_t(c) << 6 | uint32_t(d);
        *pOut++ = char(uBits >> 16);
        *pOut++ = char(uBits >> 8);
        *pOut++ = char(uBits);
    }
    if (nTail == 0)
        return true;
    const int a = Value(svText[i]), b = Value(svText[i + 1]), c = nTail == 3 ? Value(svText[i + 2]) : 0;
    if ((a | b | c) < 0)
        return false;
    const uint32_t uBits = uint32_t(a) << 18 | uint32_t(b) << 12 | uint32_t(c) << 6;
    *pOut++ = char(uBits >> 16);
    if (nTail == 3)
        *pOut = char(uBits >> 8);
    return true;
}

} // namespace AlarmSim
