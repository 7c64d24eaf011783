#pragma once

// Internal to the clip writer: the muxer's output gathered in memory as it
// comes (references to the frames' own memory, no copies) together with the
// muxer's later rewrites of its header, then written to the file in big
// gathered writes, each batch handed to the caller right after its write
// while it is still in the processor's cache.

#include <gst/gst.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace Vantrel {

class CMuxedOutput
{
public:
    using BytesObserver = std::function<void(const char* pData, size_t nBytes)>;

    CMuxedOutput() = default;
    ~CMuxedOutput();
    CMuxedOutput(const CMuxedOutput&) = delete;
    CMuxedOutput& operator=(const CMuxedOutput&) = delete;

    // Takes what reaches the sink pad: buffers, byte positions and the
    // question whether the output can seek (it can: it is rebuilt in memory).
    void Attach(GstPad* pSinkPad);
    // Writes the file's final bytes in order; fnWritten (may be empty) hears
    // each block after its write. False with the reason on an error or cancel.
    bool WriteTo(QFile& file, const std::atomic<bool>* pbCancel, const BytesObserver& fnWritten,
                 QString* pstrError) const;

private:
    struct Piece
    {
        GstMemory* pMemory = nullptr; // one reference held
        gsize nSkip = 0;              // bytes of the memory before the piece
        gsize nSize = 0;
    };
    struct Rewrite
    {
        guint64 nOffset = 0;
        QByteArray baBytes;
    };

    static GstPadProbeReturn OnProbe(GstPad* pPad, GstPadProbeInfo* pInfo, gpointer pData);
    void Take(GstBuffer* pBuffer);
    void Put(GstMemory* pMemory);
    bool Overlaps(guint64 nOffset, size_t nBytes) const;
    void ApplyRewrites(char* pBlock, guint64 nBlockOffset, size_t nBytes) const;

    mutable std::mutex m_mutex;         // the streaming thread fills, the caller writes after the end
    std::vector<Piece> m_vecPieces;     // the file from its first byte, in order
    std::vector<Rewrite> m_vecRewrites; // over those pieces, in the order written
    guint64 m_nPosition = 0;            // where the next buffer goes
    guint64 m_nEnd = 0;                 // the file's size so far
    bool m_bGap = false;                // a write past the end: nothing sound to write
};

} // namespace Vantrel
