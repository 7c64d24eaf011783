#include "Vantrel/AvcPackets.h"

#include <QByteArray>

#include <cstring>
#include <utility>
#include <vector>

namespace Vantrel {
namespace {

constexpr int kLengthBytes = 4;
constexpr quint8 kNalTypeMask = 0x1F;
constexpr quint8 kNalSps = 7;
constexpr quint8 kNalPps = 8;
constexpr int kSpsProfileBytes = 4; // the NAL header, profile, constraints, level

// Where each NAL unit of an access unit starts and how long it is.
std::vector<std::pair<int, int>> NalUnits(const QByteArray& baUnit)
{
    std::vector<std::pair<int, int>> vecUnits;
    const auto* pBegin = reinterpret_cast<const quint8*>(baUnit.constData());
    const quint8* pEnd = pBegin + baUnit.size();
    int nStart = -1;
    // A start code is 00 00 01: look at the zero bytes only (memchr is the fastest scan there is).
    for (const quint8* p = pBegin; p + 2 < pEnd;) {
        p = static_cast<const quint8*>(std::memchr(p, 0, size_t(pEnd - p - 2)));
        if (!p)
            break;
        if (p[1] != 0 || p[2] != 1) {
            ++p;
            continue;
        }
        if (nStart >= 0) {
            int nEnd = int(p - pBegin);
            while (nEnd > nStart && pBegin[nEnd - 1] == 0) // the first zero of a 4-byte code, trailing zeros
                --nEnd;
            vecUnits.emplace_back(nStart, nEnd - nStart);
        }
        p += 3;
        nStart = int(p - pBegin);
    }
    if (nStart >= 0 && nStart < baUnit.size())
        vecUnits.emplace_back(nStart, baUnit.size() - nStart);
    return vecUnits;
}

void ReleaseBytes(gpointer pData)
{
    delete static_cast<QByteArray*>(pData);
}

// The decoder configuration record Matroska keeps for H.264 (ISO/IEC 14496-15).
QByteArray AvcDecoderConfig(const QByteArray& baUnit)
{
    std::vector<QByteArray> vecSps;
    std::vector<QByteArray> vecPps;
    for (const auto& [nStart, nSize] : NalUnits(baUnit)) {
        const quint8 nType = quint8(baUnit[nStart]) & kNalTypeMask;
        if (nType == kNalSps && nSize >= kSpsProfileBytes)
            vecSps.push_back(baUnit.mid(nStart, nSize));
        else if (nType == kNalPps)
            vecPps.push_back(baUnit.mid(nStart, nSize));
    }
    if (vecSps.empty() || vecPps.empty())
        return QByteArray();
    QByteArray baConfig;
    baConfig.append(char(1)); // version
    baConfig.append(vecSps.front().mid(1, 3));
    baConfig.append(char(0xFC | (kLengthBytes - 1)));
    const auto fnAppendSets = [&baConfig](const std::vector<QByteArray>& vecSets, quint8 nCountBits) {
        baConfig.append(char(nCountBits | quint8(vecSets.size())));
        for (const QByteArray& baSet : vecSets) {
            baConfig.append(char(baSet.size() >> 8));
            baConfig.append(char(baSet.size() & 0xFF));
            baConfig.append(baSet);
        }
    };
    fnAppendSets(vecSps, 0xE0);
    fnAppendSets(vecPps, 0x00);
    return baConfig;
}

} // namespace

GstCaps* AvcCapsFor(const EncodedFrames& vecFrames)
{
    if (vecFrames.empty())
        return nullptr;
    const QString& strCaps = vecFrames.front().strCaps;
    for (const EncodedFrame& frame : vecFrames)
        if (frame.strCaps != strCaps) // one format throughout: one header for the clip
            return nullptr;
    GstCaps* pCaps = gst_caps_from_string(strCaps.toUtf8().constData());
    const GstStructure* pStructure = pCaps && !gst_caps_is_empty(pCaps) ? gst_caps_get_structure(pCaps, 0) : nullptr;
    const QByteArray baConfig = AvcDecoderConfig(vecFrames.front().baData);
    if (!pStructure || !gst_structure_has_name(pStructure, "video/x-h264")
        || g_strcmp0(gst_structure_get_string(pStructure, "stream-format"), "byte-stream") != 0
        || g_strcmp0(gst_structure_get_string(pStructure, "alignment"), "au") != 0
        || !gst_structure_has_field(pStructure, "width") || !gst_structure_has_field(pStructure, "height")
        || baConfig.isEmpty()) {
        if (pCaps)
            gst_caps_unref(pCaps);
        return nullptr;
    }
    GstBuffer* pConfig = gst_buffer_new_memdup(baConfig.constData(), gsize(baConfig.size()));
    pCaps = gst_caps_make_writable(pCaps);
    gst_caps_set_simple(pCaps, "stream-format", G_TYPE_STRING, "avc", "codec_data", GST_TYPE_BUFFER, pConfig, nullptr);
    gst_buffer_unref(pConfig);
    return pCaps;
}

GstBuffer* AvcBuffer(const EncodedFrame& frame)
{
    auto* pBytes = new QByteArray(frame.baData);
    GstMemory* pWhole = gst_memory_new_wrapped(GST_MEMORY_FLAG_READONLY, const_cast<char*>(pBytes->constData()),
                                               gsize(pBytes->size()), 0, gsize(pBytes->size()), pBytes, &ReleaseBytes);
    GstBuffer* pBuffer = gst_buffer_new();
    for (const auto& [nStart, nSize] : NalUnits(frame.baData)) {
        const quint32 nLength = quint32(nSize);
        const guint8 arrLength[kLengthBytes] = {guint8(nLength >> 24), guint8(nLength >> 16), guint8(nLength >> 8),
                                                guint8(nLength)};
        gst_buffer_append_memory(pBuffer, gst_memory_new_wrapped(GstMemoryFlags(0), g_memdup2(arrLength, kLengthBytes),
                                                                 kLengthBytes, 0, kLengthBytes, nullptr, nullptr));
        gst_buffer_append_memory(pBuffer, gst_memory_share(pWhole, gssize(nStart), gssize(nSize)));
    }
    gst_memory_unref(pWhole);
    GST_BUFFER_PTS(pBuffer) = frame.nPtsNs >= 0 ? GstClockTime(frame.nPtsNs) : GST_CLOCK_TIME_NONE;
    GST_BUFFER_DTS(pBuffer) = frame.nDtsNs >= 0 ? GstClockTime(frame.nDtsNs) : GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(pBuffer) = frame.nDurationNs >= 0 ? GstClockTime(frame.nDurationNs) : GST_CLOCK_TIME_NONE;
    if (!frame.bKeyframe)
        GST_BUFFER_FLAG_SET(pBuffer, GST_BUFFER_FLAG_DELTA_UNIT);
    return pBuffer;
}

} // namespace Vantrel
