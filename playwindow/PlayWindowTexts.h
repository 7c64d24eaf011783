#pragma once

#include "common/TranslationKeys.h"

// The texts the play-window library shows, listed once so that lupdate finds
// every key (the menu's action texts are in CLiveViewMenuMgr).
struct PlayWindowTexts : LinkageSnapAlarm::TranslationKeys<PlayWindowTexts>
{
    static constexpr const char* kContext = "CStreamPlayWindowWithTask";
    static constexpr const char* TheUserHasNoPermission =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "TheUserHasNoPermission");
    static constexpr const char* Connecting = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "Connecting");
    static constexpr const char* StreamLostReconnecting =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "StreamLostReconnecting");
    static constexpr const char* LiveViewFailed = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "LiveViewFailed");
    static constexpr const char* NoEnoughHDDSpace = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "NoEnoughHDDSpace");
    static constexpr const char* CaptureFailed = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "CaptureFailed");
    static constexpr const char* StartingRecordingFailed =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "StartingRecordingFailed");
    static constexpr const char* OpeningSoundFailed =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "OpeningSoundFailed");
    static constexpr const char* VoiceTalkNotAllowed =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "VoiceTalkNotAllowed");
    static constexpr const char* PTZNotSupported = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "PTZNotSupported");
    static constexpr const char* Reconnected = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "Reconnected");
    // The instant playback bar and its notices.
    static constexpr const char* PausePlayback = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "PausePlayback");
    static constexpr const char* ResumePlayback = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "ResumePlayback");
    static constexpr const char* BackToLive = QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "BackToLive");
    //: "Playback position"
    static constexpr const char* PlaybackPosition =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "PlaybackPosition");
    static constexpr const char* NothingBufferedYet =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "NothingBufferedYet");
    static constexpr const char* InstantPlaybackFailed =
        QT_TRANSLATE_NOOP("CStreamPlayWindowWithTask", "InstantPlaybackFailed");
};
