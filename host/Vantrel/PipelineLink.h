#pragma once

// Internal to the preview logic: what a running pipeline shares with its
// preview across the streaming threads.

#include <gst/gst.h>

#include <QImage>
#include <QString>

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
    guintptr hWindow = 0;             // native window for the overlay sink
    QImage imgLatest;                 // application sink: the newest frame
    bool bRepaintPending = false;

    std::atomic<quint64> nFrames{0};
    std::atomic<quint64> nCorrupt{0};
    std::atomic<quint64> nBytes{0};
    std::atomic<qint64> nLastFrameMs{0};
    std::atomic<int> nWidth{0};
    std::atomic<int> nHeight{0};
    std::atomic<bool> bSoundOpen{false};
    std::atomic<bool> bFirstFramePosted{false};
    bool bAppSink = false;            // set before the pipeline runs
    std::atomic<bool> bHasAudio{false};
    GstElement* pVolume = nullptr;    // under mutex; set when an audio stream appears
    QString strCaps;                  // under mutex
};

// Recording branch state, shared between the preview and the teardown thread.
struct RecordBranch
{
    GstElement* pPipeline = nullptr;  // ref held
    GstElement* pTee = nullptr;       // ref held
    GstPad* pTeePad = nullptr;        // requested pad, ref held
    GstElement* pBin = nullptr;       // ref held
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
    GstElement* pPipeline = nullptr;  // owned
    GstElement* pTee = nullptr;       // borrowed from the pipeline
    GstElement* pSink = nullptr;      // borrowed
    bool bOverlay = false;
};

struct BuildRequest
{
    QString strAddress;
    QString strTitle;       // drawn on test patterns
    bool bOverlay = false;  // native window overlay, else application sink
};

// One builder for every address kind and both sinks. On failure returns a null
// pipeline and fills strError; nReason is a CErrorInfoMgr preview reason.
BuiltPipeline BuildPipeline(const BuildRequest& request, const std::shared_ptr<PipelineLink>& spLink,
                            QString& strError, int& nReason);

// Recording: attach a branch to the video tee, and finish it off the GUI thread.
std::shared_ptr<RecordBranch> AttachRecordBranch(const BuiltPipeline& pipeline, const QString& strPath,
                                                 QString& strError);
void FinishRecordBranch(const std::shared_ptr<RecordBranch>& spBranch, int nTimeoutMs);

// Teardown thread: jobs run in order, away from the GUI thread.
void RunOffGuiThread(std::function<void()> fnJob);

} // namespace Vantrel
