#pragma once

class CLiveViewMenuMgr;

// How a window's live-view actions follow the host preview's notifications.
// The controller calls Apply for every notification kind it receives.
class CLiveViewActionStates
{
public:
    enum PreviewKind {
        KindStarted = 0,
        KindStopped = 1,
        KindRecordStarted = 2,
        KindRecordStopped = 3,
        KindRunningAgain = 6,
        KindSoundOpened = 10,
        KindSoundClosed = 11,
    };

    // What the preview says at the moment of the notification.
    struct PreviewFacts
    {
        bool bPreview = false;
        bool bRecord = false;
    };

    // Updates the actions for a notification; unknown kinds change nothing.
    // Returns true when the kind is one the actions follow.
    static bool Apply(CLiveViewMenuMgr* pMenuMgr, int nKind, const PreviewFacts& facts);

    // Live view stopped: every action the window offers is off and disabled.
    static void ResetOnStop(CLiveViewMenuMgr* pMenuMgr);
};
