#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the card strip gives from code, listed once so that lupdate finds
// every key (the forms' own texts are in the .ui files).
struct CardsTexts : TranslationKeys<CardsTexts>
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CShowCardArea";
    //: Accessible name of the strip: "Snapshot cards"
    static constexpr const char* SnapshotCards = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CShowCardArea", "SnapshotCards");
    //: "Newest card first. Left and Right (Up and Down in a column) move between cards, Home and End go to the newest
    //: and the oldest."
    static constexpr const char* SnapshotCardsHelp =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CShowCardArea", "SnapshotCardsHelp");
    //: Accessible name of one card: "Snapshot card"
    static constexpr const char* SnapshotCard = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CShowCardArea", "SnapshotCard");
};

} // namespace LinkageSnapAlarm
