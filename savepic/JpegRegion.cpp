#include "savepic/JpegRegion.h"

#include "common/PictureHeader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace LinkageSnapAlarm::JpegRegion {
namespace {

// libjpeg reports errors by calling error_exit, which must not return: it jumps
// back to the Guarded call in progress.
struct ErrorJump
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpOnError(j_common_ptr pInfo)
{
    std::longjmp(reinterpret_cast<ErrorJump*>(pInfo->err)->jump, 1);
}

void NoMessage(j_common_ptr)
{
}

constexpr int kMargin = 16; // the widest block of colour samples (two 8-pixel blocks)

class Decoder
{
public:
    Decoder()
    {
        m_info.err = jpeg_std_error(&m_error.manager);
        m_error.manager.error_exit = JumpOnError;
        m_error.manager.output_message = NoMessage; // warnings of damaged data
    }
    // Safe also when creation failed: libjpeg then has nothing to free.
    ~Decoder() { jpeg_destroy_decompress(&m_info); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Runs libjpeg calls; false when one of them failed. fnCalls must hold only
    // trivially destructible objects, since a failure jumps out of it.
    template <class Fn>
    bool Guarded(Fn fnCalls)
    {
        if (setjmp(m_error.jump))
            return false;
        fnCalls(m_info);
        return true;
    }

private:
    jpeg_decompress_struct m_info{};
    ErrorJump m_error{};
};

// Reads the header; false when it is bad or the colour space does not convert to RGB.
bool ReadHeader(Decoder& decoder, const QByteArray& baJpeg, PictureHeaderInfo& header)
{
    bool bRgb = false;
    const bool bRead = decoder.Guarded([&baJpeg, &header, &bRgb](jpeg_decompress_struct& info) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(baJpeg.constData()),
                     static_cast<unsigned long>(baJpeg.size()));
        jpeg_read_header(&info, TRUE);
        header.size = QSize(int(info.image_width), int(info.image_height));
        header.bProgressive = info.progressive_mode;
        bRgb = info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_GRAYSCALE
               || info.jpeg_color_space == JCS_RGB;
    });
    return bRead && bRgb;
}

} // namespace

QImage Decode(const QByteArray& baJpeg, const QRect& rcRegion)
{
    Decoder decoder;
    PictureHeaderInfo header;
    if (!ReadHeader(decoder, baJpeg, header) || rcRegion.isEmpty()
        || !QRect(QPoint(0, 0), header.size).contains(rcRegion))
        return QImage();
    // The decoder's buffers grow with the width, a progressive one's with the whole picture.
    if (!IsPictureAllowed(header, DecodeOn::WorkerThread))
        return QImage();
    const QSize size = header.size;
    // One block of margin on each side keeps the smoothing of the colour planes at
    // the region's edges the same as in a full decode.
    const int nMarginLeft = std::min(kMargin, rcRegion.x());
    const int nMarginRight = std::min(kMargin, size.width() - rcRegion.right() - 1);
    JDIMENSION nLeft = JDIMENSION(rcRegion.x() - nMarginLeft);
    JDIMENSION nWidth = JDIMENSION(rcRegion.width() + nMarginLeft + nMarginRight);
    const bool bStarted = decoder.Guarded([&](jpeg_decompress_struct& info) {
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        jpeg_crop_scanline(&info, &nLeft, &nWidth); // widens to whole blocks
        jpeg_skip_scanlines(&info, JDIMENSION(rcRegion.y()));
    });
    if (!bStarted || int(nLeft) > rcRegion.x() || int(nLeft + nWidth) < rcRegion.right() + 1)
        return QImage();
    QImage rows(int(nWidth), rcRegion.height(), QImage::Format_RGB888);
    if (rows.isNull())
        return QImage();
    int nRowsRead = 0;
    const bool bRead = decoder.Guarded([&rows, &nRowsRead](jpeg_decompress_struct& info) {
        while (nRowsRead < rows.height()) {
            JSAMPROW pRow = rows.scanLine(nRowsRead);
            if (jpeg_read_scanlines(&info, &pRow, 1) != 1)
                return;
            ++nRowsRead;
        }
    });
    if (!bRead || nRowsRead != rows.height())
        return QImage();
    // The rows below the region are never decoded: the decoder goes unfinished.
    return rows.copy(rcRegion.x() - int(nLeft), 0, rcRegion.width(), rcRegion.height());
}

} // namespace LinkageSnapAlarm::JpegRegion
