#pragma once

#include "cards/CardRecord.h"

#include <QImage>
#include <QSize>

#include <climits>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace LinkageSnapAlarm {

// What alarms asked to show and the view has not shown yet. A flood leaves only
// what could still be seen: the newest scene and the cards the strip would keep
// of the newest persons; everything older is never decoded. Taking the queue
// decodes each shared picture once, cutting every person's parts from it.
class CAlarmDisplayQueue
{
public:
    struct Card
    {
        CardPicture face;
        CardPicture body;
        QSize sizeCard;
        std::uint64_t nAlarm = 0; // the alarm the card belongs to
        std::shared_ptr<const CardRecord> spRecord;
    };
    struct DecodedCard
    {
        QImage imgFace;
        QImage imgBody;
        QSize sizeCard;
        std::shared_ptr<const CardRecord> spRecord;
    };
    struct Decoded
    {
        bool bScene = false; // a new scene came: show imgScene (possibly null)
        QImage imgScene;
        std::vector<DecodedCard> vecCards; // oldest first
        int nAlarmsShown = 0;              // alarms shown for the first time
    };

    explicit CAlarmDisplayQueue(int nMaxCards);

    // A new linkage's scene: replaces the waiting scene and drops waiting cards.
    void SetScene(CardPicture scene, std::uint64_t nAlarm);
    // The oldest waiting card goes when more wait than the strip keeps.
    void AddCard(Card card);
    bool IsEmpty() const { return !m_optScene && m_deqCards.empty(); }
    // True when everything waiting belongs to alarm nAlarm.
    bool HoldsOnly(std::uint64_t nAlarm) const;
    void Clear()
    {
        m_optScene.reset();
        m_deqCards.clear();
    }

    // The waiting scene and the oldest cards, decoded (the scene at sizeScene,
    // faces and bodies at their label sizes), out of the queue: at most
    // nMaxCards, and no more cards than keep the distinct pictures to decode
    // within nMaxPixels (the first card always comes).
    Decoded TakeDecoded(const QSize& sizeScene, int nMaxCards = INT_MAX, qint64 nMaxPixels = LLONG_MAX);

private:
    struct Scene
    {
        CardPicture picture;
        std::uint64_t nAlarm = 0;
    };

    int m_nMaxCards;
    // How many cards from the oldest fit the budget of decoded pixels.
    size_t CardsWithin(size_t nMaxCards, qint64 nMaxPixels, qint64 nSpent) const;

    std::optional<Scene> m_optScene;
    std::uint64_t m_nLastShownAlarm = 0;
    std::deque<Card> m_deqCards;
};

} // namespace LinkageSnapAlarm
