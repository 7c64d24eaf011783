#pragma once

// Internal to the preview logic: what a running pipeline shares with its
// preview across the streaming threads.

#include <gst/gst.h>

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "Vantrel/PreAlarmBuffer.h"
#include "Vantrel/PreviewCrop.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace Vantrel {

class CBasePreview;
struct PipelineLink;

// The preview's reactions to what its pipeline reports, run on the GUI thread.
struct PreviewAccess
{
    static bool Owns(const CBasePreview& preview, const PipelineLink* pLink);
    static void OnFirstFrame(CBasePreview& preview);
    static void OnPictureSize(CBasePreview& preview, int nWidth, int nHeight);
    static void OnFrameReady(CBasePreview& preview);
    static void OnPipelineError(CBasePreview& preview, const QString& strError);
    static void OnPipelineEnd(CBasePreview& preview);
    static void OnRecordFinished(CBasePreview& preview, const QString& strPath, bool bOk);
    static void OnRecordError(CBasePreview& preview, const QString& strError);
};

struct PipelineLink : std::enable_shared_from_this<PipelineLink>
{
    // Runs fn on the preview's thread if the preview still owns this pipeline.
    void Post(std::function<void(CBasePreview&)> fn);
    // The preview lets go: later posts and frames go nowhere.
    void Cut();
    ~PipelineLink();

    std::mutex mutex;
    CBasePreview* pOwner = nullptr;
    guintptr hWindow = 0; // native window for the overlay sink
    QImage imgLatest;     // application sink: the newest frame
    bool bRepaintPending = false;

    std::atomic<quint64> nFrames{0};
    std::atomic<quint64> nCorrupt{0};
    std::atomic<quint64> nBytes{0};
    std::atomic<qint64> nLastFrameMs{0};
    std::atomic<int> nWidth{0};
    std::atomic<int> nHeight{0};
    std::atomic<bool> bSoundOpen{false};
    std::atomic<bool> bFirstFramePosted{false};
    std::atomic<qint64> nFirstPictureNs{0};    // steady clock, when the sink got the first picture
    std::atomic<bool> bWindowHandleSet{false}; // the X sink draws into our window
    bool bAppSink = false;                     // set before the pipeline runs
    std::atomic<bool> bHasAudio{false};
    GstElement* pVolume = nullptr; // under mutex; set when an audio stream appears
    QString strCaps;               // under mutex
    // The stream as it arrives, before any display scaling or cropping.
    std::atomic<int> nStreamWidth{0};
    std::atomic<int> nStreamHeight{0};
    std::atomic<int> nFpsNumerator{0};
    std::atomic<int> nFpsDenominator{0};
    GstBuffer* pLastBuffer = nullptr; // under mutex: the stream's newest picture
    GstCaps* pLastCaps = nullptr;     // under mutex: its format
};

// Marks the recording branch's bin; its errors end the recording, not the stream.
constexpr const char* kRecordBinName = "lsa-record";

// Recording branch state, shared between the preview and the teardown thread.
struct RecordBranch
{
    GstElement* pPipeline = nullptr; // ref held
    GstElement* pTee = nullptr;      // ref held
    GstPad* pTeePad = nullptr;       // requested pad, ref held
    GstElement* pBin = nullptr;      // ref held
    QString strPath;
    std::mutex mutex;
    std::condition_variable cv;
    bool bUnlinked = false;
    bool bFinished = false;
    GstClockTime tsBase = GST_CLOCK_TIME_NONE;
};

// What the builder hands back.
struct BuiltPipeline
{
    GstElement* pPipeline = nullptr;   // owned
    GstElement* pTee = nullptr;        // borrowed from the pipeline
    GstElement* pSink = nullptr;       // borrowed
    GstElement* pSizeFilter = nullptr; // borrowed; application sink only
    bool bOverlay = false;
    GstElement* pZoomCrop = nullptr; // borrowed; the window's digital zoom, display only
    GstElement* pPtzCrop = nullptr;  // borrowed; a demo PTZ camera's view of its scene
    int nSceneWidth = 0;
    int nSceneHeight = 0;
};

struct BuildRequest
{
    QString strAddress;
    QString strTitle;       // drawn on test patterns
    bool bOverlay = false;  // native window overlay, else application sink
    bool bPtzScene = false; // a test camera with PTZ: draw a larger scene and show a part
    QSize sizeSurface;      // painted pictures are scaled to it
    bool bLive = false;     // set by the builder from the address
    bool bHeadless = false; // no picture: the stream runs for its tee's other branches (analytics)
    // The encoded stream, as it leaves its parser, is kept here (none: not kept).
    std::shared_ptr<CPreAlarmBuffer> spPreAlarm;
    // Plays these frames (a buffer's snapshot, rebased, starting at a keyframe)
    // instead of the address.
    std::shared_ptr<const EncodedFrames> spReplay;
};

// One builder for every address kind and both sinks. On failure returns a null
// pipeline and fills strError; nReason is a CErrorInfoMgr preview reason.
BuiltPipeline BuildPipeline(const BuildRequest& request, const std::shared_ptr<PipelineLink>& spLink, QString& strError,
                            int& nReason);

// The application sink's pictures follow the surface's size.
void SetPaintSize(const BuiltPipeline& pipeline, const QSize& sizeSurface);

// Recording: attach a branch to the video tee, and finish it off the GUI thread.
std::shared_ptr<RecordBranch> AttachRecordBranch(const BuiltPipeline& pipeline, const QString& strPath,
                                                 QString& strError);
void FinishRecordBranch(const std::shared_ptr<RecordBranch>& spBranch, int nTimeoutMs);

// Statistics and views (PipelineView.cpp). Bytes arriving through an element's
// source pads, including pads it adds later, count into the link.
void CountArrivingBytes(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink);
// Bytes entering a decoder (an element, not a bin, of the decoder class) count
// into the link; other elements are left alone.
void CountDecoderInput(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink);
// The caps arriving at an element's sink pad give the stream's size and rate.
void WatchStreamCaps(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink);
// A crop element that shows the given part (fractions) of a picture of that size.
void ApplyCrop(GstElement* pCrop, const QRectF& rcPart, int nWidth, int nHeight);
CropMargins ReadCrop(GstElement* pCrop);
// A test camera's larger scene with the element that crops the camera's view out of it.
GstElement* MakePtzSceneCrop(int nWidth, int nHeight, int& nSceneWidth, int& nSceneHeight);

// Pre-alarm buffering (PipelineBuffer.cpp). The encoded pictures leaving a
// parser's source pad are copied into the buffer with their format and times.
void BufferEncodedStream(GstElement* pParser, const std::shared_ptr<CPreAlarmBuffer>& spBuffer);
// Connects to a decoding bin: the first video parser it plugs in feeds the buffer.
void BufferDecodedSource(GstElement* pDecodeBin, const std::shared_ptr<CPreAlarmBuffer>& spBuffer);
// An application source that plays the frames once, then ends the stream.
GstElement* MakeReplaySource(const std::shared_ptr<const EncodedFrames>& spFrames);
// A sample of one buffered frame for an application source: the buffer shares
// the frame's bytes (no copy) and carries its times and keyframe flag.
GstSample* EncodedSample(const EncodedFrame& frame, GstCaps* pCaps);

// Teardown thread: jobs run in order, away from the GUI thread.
void RunOffGuiThread(std::function<void()> fnJob);

} // namespace Vantrel
