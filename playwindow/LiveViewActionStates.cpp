#include "playwindow/LiveViewActionStates.h"

#include "playwindow/LiveViewMenuMgr.h"

#include "common/LsaCheck.h"

namespace {

// Disabled when live view stops, in this order; 17 is also hidden.
constexpr int kPlaybackTypes[] = {15, 16, 17};
constexpr int kHiddenOnStop = 17;
constexpr int kLiveTypes[] = {9, 4, 5, 6, 7, 8, 10, 11, 12, 14, 19, 20, 21, 22, 18, 3, 41, 56, 57};

} // namespace

void CLiveViewActionStates::ResetOnStop(CLiveViewMenuMgr* pMenuMgr)
{
    LSA_CHECK(pMenuMgr) return;
    for (int nType : kPlaybackTypes)
        pMenuMgr->SetActionEnabled(nType, false);
    pMenuMgr->SetActionVisible(kHiddenOnStop, false);
    for (int nType : kLiveTypes)
        pMenuMgr->SetActionEnabled(nType, false);
    pMenuMgr->SetRecordingState(false);
    pMenuMgr->SetPtzState(false);
    pMenuMgr->SetDigitalZoomState(false);
    pMenuMgr->SetSoundState(false);
    pMenuMgr->SetInstantPlaybackState(false);
}

bool CLiveViewActionStates::Apply(CLiveViewMenuMgr* pMenuMgr, int nKind, const PreviewFacts& facts)
{
    LSA_CHECK(pMenuMgr) return false;
    switch (nKind) {
    case KindStopped:
        ResetOnStop(pMenuMgr);
        return true;
    case KindRecordStarted:
    case KindRecordStopped:
        if (facts.bPreview)
            pMenuMgr->SetRecordingState(facts.bRecord);
        return true;
    case KindSoundOpened:
        pMenuMgr->SetSoundState(true);
        return true;
    case KindSoundClosed:
        pMenuMgr->SetSoundState(false);
        return true;
    default:
        return false;
    }
}
