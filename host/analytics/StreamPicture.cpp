#include "analytics/StreamPicture.h"

namespace Analytics {
namespace {

class CStreamPicture : public IStreamPicture
{
public:
    CStreamPicture(GstBuffer* pBuffer, const GstVideoInfo& info)
        : m_pBuffer(gst_buffer_ref(pBuffer))
        , m_info(info)
    {
    }
    ~CStreamPicture() override { gst_buffer_unref(m_pBuffer); }
    CStreamPicture(const CStreamPicture&) = delete;
    CStreamPicture& operator=(const CStreamPicture&) = delete;

    int Width() const override { return GST_VIDEO_INFO_WIDTH(&m_info); }
    int Height() const override { return GST_VIDEO_INFO_HEIGHT(&m_info); }

    bool ToBgr(uint8_t* pDst, size_t nStride) const override
    {
        const int nWidth = Width(), nHeight = Height();
        if (!pDst || nStride < size_t(nWidth) * 3)
            return false;
        GstVideoInfo infoOut;
        if (!gst_video_info_set_format(&infoOut, GST_VIDEO_FORMAT_BGR, guint(nWidth), guint(nHeight)))
            return false;
        // The converter takes pictures of one rate and scan; the rows are laid out as the caller's.
        infoOut.fps_n = m_info.fps_n;
        infoOut.fps_d = m_info.fps_d;
        infoOut.interlace_mode = m_info.interlace_mode;
        infoOut.stride[0] = gint(nStride);
        infoOut.size = nStride * size_t(nHeight);
        GstBuffer* pOut =
            gst_buffer_new_wrapped_full(GstMemoryFlags(0), pDst, infoOut.size, 0, infoOut.size, nullptr, nullptr);
        GstVideoFrame frameIn, frameOut;
        bool bOk = false;
        if (gst_video_frame_map(&frameIn, const_cast<GstVideoInfo*>(&m_info), m_pBuffer, GST_MAP_READ)) {
            if (gst_video_frame_map(&frameOut, &infoOut, pOut, GST_MAP_WRITE)) {
                // One thread: this runs on a camera's worker, beside the others.
                GstVideoConverter* pConverter = gst_video_converter_new(&m_info, &infoOut, nullptr);
                if (pConverter) {
                    gst_video_converter_frame(pConverter, &frameIn, &frameOut);
                    gst_video_converter_free(pConverter);
                    bOk = true;
                }
                gst_video_frame_unmap(&frameOut);
            }
            gst_video_frame_unmap(&frameIn);
        }
        gst_buffer_unref(pOut);
        return bOk;
    }

private:
    GstBuffer* m_pBuffer;
    GstVideoInfo m_info;
};

} // namespace

std::shared_ptr<const IStreamPicture> WrapStreamPicture(GstBuffer* pBuffer, const GstVideoInfo& info)
{
    if (!pBuffer || GST_VIDEO_INFO_WIDTH(&info) <= 0 || GST_VIDEO_INFO_HEIGHT(&info) <= 0
        || GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_UNKNOWN
        || GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_ENCODED)
        return nullptr;
    return std::make_shared<CStreamPicture>(pBuffer, info);
}

} // namespace Analytics
