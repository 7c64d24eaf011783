#include "Vantrel/MuxedOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/uio.h>
#endif

namespace Vantrel {
namespace {

// A batch stays in the cache between its write and the observer's look at it.
constexpr size_t kBatchBytes = 512 * 1024;
// Pieces in one gathered write, well under the system's limit.
constexpr size_t kMaxSpans = 512;

// Pieces written with one gathered write per batch (no copy into a buffer of
// our own), then shown to the observer while they are still in the cache.
// Each piece's memory stays mapped until its batch is written.
class CBatch
{
public:
    using Patch = std::function<void(char*)>;

    CBatch(QFile& file, const CMuxedOutput::BytesObserver& fnWritten)
        : m_file(file)
        , m_fnWritten(fnWritten)
    {
    }
    ~CBatch() { Release(); }
    CBatch(const CBatch&) = delete;
    CBatch& operator=(const CBatch&) = delete;

    // fnPatch (may be empty) changes a copy of the piece before it is written.
    bool Add(GstMemory* pMemory, gsize nSkip, gsize nSize, const Patch& fnPatch)
    {
        GstMapInfo info;
        if (!gst_memory_map(pMemory, &info, GST_MAP_READ)) {
            m_strError = QStringLiteral("cannot read the muxer's output");
            return false;
        }
        m_vecMapped.push_back({pMemory, info});
        const char* pData = reinterpret_cast<const char*>(info.data) + nSkip;
        if (fnPatch) {
            m_vecPatched.emplace_back(pData, int(nSize));
            fnPatch(m_vecPatched.back().data());
            pData = m_vecPatched.back().constData();
        }
        m_vecSpans.push_back({pData, nSize});
        m_nBytes += nSize;
        return true;
    }
    bool IsFull() const { return m_nBytes >= kBatchBytes || m_vecSpans.size() >= kMaxSpans; }
    bool Flush()
    {
        const bool bOk = WriteSpans();
        if (bOk && m_fnWritten)
            for (const Span& span : m_vecSpans)
                m_fnWritten(span.pData, span.nSize);
        Release();
        return bOk;
    }
    QString Error() const { return m_strError; }

private:
    struct Span
    {
        const char* pData;
        size_t nSize;
    };
    struct Mapped
    {
        GstMemory* pMemory;
        GstMapInfo info;
    };

    bool WriteSpans()
    {
#ifdef Q_OS_UNIX
        std::vector<iovec> vecIo;
        vecIo.reserve(m_vecSpans.size());
        for (const Span& span : m_vecSpans)
            vecIo.push_back({const_cast<char*>(span.pData), span.nSize});
        for (size_t nFirst = 0; nFirst < vecIo.size();) {
            const ssize_t nWritten = ::writev(m_file.handle(), vecIo.data() + nFirst, int(vecIo.size() - nFirst));
            if (nWritten < 0 && errno == EINTR)
                continue;
            if (nWritten <= 0) {
                m_strError = QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), qt_error_string(errno));
                return false;
            }
            // A short write goes on from where it stopped.
            for (size_t nLeft = size_t(nWritten); nLeft > 0;) {
                const size_t nTake = std::min(nLeft, vecIo[nFirst].iov_len);
                vecIo[nFirst].iov_base = static_cast<char*>(vecIo[nFirst].iov_base) + nTake;
                vecIo[nFirst].iov_len -= nTake;
                nLeft -= nTake;
                if (vecIo[nFirst].iov_len == 0)
                    ++nFirst;
            }
        }
#else
        for (const Span& span : m_vecSpans)
            if (m_file.write(span.pData, qint64(span.nSize)) != qint64(span.nSize)) {
                m_strError = QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
                return false;
            }
#endif
        return true;
    }
    void Release()
    {
        for (Mapped& mapped : m_vecMapped)
            gst_memory_unmap(mapped.pMemory, &mapped.info);
        m_vecMapped.clear();
        m_vecPatched.clear();
        m_vecSpans.clear();
        m_nBytes = 0;
    }

    QFile& m_file;
    const CMuxedOutput::BytesObserver& m_fnWritten;
    std::vector<Span> m_vecSpans;
    std::vector<Mapped> m_vecMapped;
    std::vector<QByteArray> m_vecPatched; // their bytes stay put when the vector grows
    size_t m_nBytes = 0;
    QString m_strError;
};

} // namespace

CMuxedOutput::~CMuxedOutput()
{
    for (const Piece& piece : m_vecPieces)
        gst_memory_unref(piece.pMemory);
}

void CMuxedOutput::Attach(GstPad* pSinkPad)
{
    gst_pad_add_probe(pSinkPad,
                      GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST
                                      | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM),
                      &CMuxedOutput::OnProbe, this, nullptr);
}

GstPadProbeReturn CMuxedOutput::OnProbe(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto* pSelf = static_cast<CMuxedOutput*>(pData);
    const GstPadProbeType type = GST_PAD_PROBE_INFO_TYPE(pInfo);
    if (type & GST_PAD_PROBE_TYPE_BUFFER) {
        pSelf->Take(GST_PAD_PROBE_INFO_BUFFER(pInfo));
    } else if (type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        gst_buffer_list_foreach(
            GST_PAD_PROBE_INFO_BUFFER_LIST(pInfo),
            [](GstBuffer** ppBuffer, guint, gpointer p) -> gboolean {
                static_cast<CMuxedOutput*>(p)->Take(*ppBuffer);
                return TRUE;
            },
            pSelf);
    } else if (type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
        if (GST_EVENT_TYPE(pEvent) == GST_EVENT_SEGMENT) {
            // A byte segment moves the write position, as a file sink seeks.
            const GstSegment* pSegment = nullptr;
            gst_event_parse_segment(pEvent, &pSegment);
            if (pSegment->format == GST_FORMAT_BYTES) {
                const std::lock_guard<std::mutex> lock(pSelf->m_mutex);
                pSelf->m_nPosition = pSegment->start;
            }
        }
    } else if (type & GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM) {
        // Seekable: the muxer then finishes its header (duration, index) at the end.
        GstQuery* pQuery = GST_PAD_PROBE_INFO_QUERY(pInfo);
        GstFormat format = GST_FORMAT_UNDEFINED;
        if (GST_QUERY_TYPE(pQuery) == GST_QUERY_SEEKING) {
            gst_query_parse_seeking(pQuery, &format, nullptr, nullptr, nullptr);
            if (format == GST_FORMAT_BYTES) {
                gst_query_set_seeking(pQuery, GST_FORMAT_BYTES, TRUE, 0, -1);
                return GST_PAD_PROBE_HANDLED;
            }
        }
    }
    return GST_PAD_PROBE_OK;
}

void CMuxedOutput::Take(GstBuffer* pBuffer)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const guint nMemories = gst_buffer_n_memory(pBuffer);
    for (guint i = 0; i < nMemories; ++i)
        Put(gst_buffer_peek_memory(pBuffer, i));
}

void CMuxedOutput::Put(GstMemory* pMemory)
{
    const gsize nSize = gst_memory_get_sizes(pMemory, nullptr, nullptr);
    if (m_nPosition > m_nEnd) {
        m_bGap = true;
        return;
    }
    // What falls before the end rewrites earlier bytes: kept as a copy (a header's few bytes).
    const gsize nOver = gsize(std::min<guint64>(nSize, m_nEnd - m_nPosition));
    if (nOver > 0) {
        GstMapInfo info;
        if (!gst_memory_map(pMemory, &info, GST_MAP_READ)) {
            m_bGap = true;
            return;
        }
        m_vecRewrites.push_back({m_nPosition, QByteArray(reinterpret_cast<const char*>(info.data), int(nOver))});
        gst_memory_unmap(pMemory, &info);
    }
    if (nSize > nOver) {
        m_vecPieces.push_back({gst_memory_ref(pMemory), nOver, nSize - nOver});
        m_nEnd += nSize - nOver;
    }
    m_nPosition += nSize;
}

bool CMuxedOutput::Overlaps(guint64 nOffset, size_t nBytes) const
{
    return std::any_of(m_vecRewrites.begin(), m_vecRewrites.end(), [&](const Rewrite& rewrite) {
        return rewrite.nOffset < nOffset + nBytes && nOffset < rewrite.nOffset + guint64(rewrite.baBytes.size());
    });
}

void CMuxedOutput::ApplyRewrites(char* pBlock, guint64 nBlockOffset, size_t nBytes) const
{
    for (const Rewrite& rewrite : m_vecRewrites) {
        const guint64 nFrom = std::max(rewrite.nOffset, nBlockOffset);
        const guint64 nTo = std::min(rewrite.nOffset + guint64(rewrite.baBytes.size()), nBlockOffset + nBytes);
        if (nFrom < nTo)
            std::memcpy(pBlock + (nFrom - nBlockOffset), rewrite.baBytes.constData() + (nFrom - rewrite.nOffset),
                        size_t(nTo - nFrom));
    }
}

bool CMuxedOutput::WriteTo(QFile& file, const std::atomic<bool>* pbCancel, const BytesObserver& fnWritten,
                           QString* pstrError) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bGap) {
        *pstrError = QStringLiteral("the muxer wrote past the end of its file");
        return false;
    }
    CBatch batch(file, fnWritten);
    guint64 nOffset = 0;
    for (const Piece& piece : m_vecPieces) {
        if (!batch.Add(piece.pMemory, piece.nSkip, piece.nSize,
                       Overlaps(nOffset, piece.nSize) ? [&](char* p) { ApplyRewrites(p, nOffset, piece.nSize); }
                                                      : CBatch::Patch())) {
            *pstrError = batch.Error();
            return false;
        }
        nOffset += piece.nSize;
        if (batch.IsFull() && !batch.Flush()) {
            *pstrError = batch.Error();
            return false;
        }
        if (pbCancel && pbCancel->load()) {
            *pstrError = QStringLiteral("cancelled");
            return false;
        }
    }
    if (!batch.Flush()) {
        *pstrError = batch.Error();
        return false;
    }
    return true;
}

} // namespace Vantrel
