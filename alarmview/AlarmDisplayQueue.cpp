#include "alarmview/AlarmDisplayQueue.h"

#include "alarmview/AlarmPictureDecoder.h"
#include "cards/LinkageCardWidget.h"

#include <algorithm>
#include <map>
#include <set>

namespace LinkageSnapAlarm {
namespace {

// Where each picture of the batch lands once decoded.
struct Slot
{
    const CardPicture* pPicture = nullptr;
    QSize sizeShown;
    QImage* pTarget = nullptr;
};

// Decodes every slot, each distinct picture once: all cuts of it from one
// decode, and the whole picture once per shown size.
void DecodeSlots(const std::vector<Slot>& vecSlots)
{
    std::map<const protocol::PicBinary*, std::vector<const Slot*>> mapByPicture;
    for (const Slot& slot : vecSlots) {
        if (slot.pPicture->spBytes && !slot.pPicture->spBytes->strData.empty())
            mapByPicture[slot.pPicture->spBytes.get()].push_back(&slot);
    }
    for (const auto& [pBytes, vecOfPicture] : mapByPicture) {
        std::vector<AlarmPicture::CutRequest> vecCuts;
        std::vector<const Slot*> vecCutSlots;
        std::map<std::pair<int, int>, QImage> mapWhole;
        for (const Slot* pSlot : vecOfPicture) {
            if (pSlot->pPicture->optCut) {
                vecCuts.push_back({*pSlot->pPicture->optCut, pSlot->sizeShown});
                vecCutSlots.push_back(pSlot);
                continue;
            }
            const std::pair<int, int> key(pSlot->sizeShown.width(), pSlot->sizeShown.height());
            auto it = mapWhole.find(key);
            if (it == mapWhole.end())
                it = mapWhole.emplace(key, AlarmPicture::DecodeFitted(pBytes->strData, pSlot->sizeShown)).first;
            *pSlot->pTarget = it->second;
        }
        if (vecCuts.empty())
            continue;
        std::vector<QImage> vecImages = AlarmPicture::DecodeCuts(pBytes->strData, vecCuts);
        for (size_t i = 0; i < vecCutSlots.size(); ++i)
            *vecCutSlots[i]->pTarget = std::move(vecImages[i]);
    }
}

// What decoding a picture costs: its pixels, as its header tells.
qint64 PixelsOf(const CardPicture& picture)
{
    if (!picture.spBytes || picture.spBytes->strData.empty())
        return 0;
    const QSize size = AlarmPicture::HeaderSize(picture.spBytes->strData);
    return qint64(size.width()) * size.height();
}

} // namespace

CAlarmDisplayQueue::CAlarmDisplayQueue(int nMaxCards)
    : m_nMaxCards(nMaxCards)
{
}

void CAlarmDisplayQueue::SetScene(CardPicture scene, std::uint64_t nAlarm)
{
    m_optScene = Scene{std::move(scene), nAlarm};
    m_deqCards.clear();
}

bool CAlarmDisplayQueue::HoldsOnly(std::uint64_t nAlarm) const
{
    return (!m_optScene || m_optScene->nAlarm == nAlarm)
           && std::all_of(m_deqCards.begin(), m_deqCards.end(),
                          [nAlarm](const Card& card) { return card.nAlarm == nAlarm; });
}

void CAlarmDisplayQueue::AddCard(Card card)
{
    m_deqCards.push_back(std::move(card));
    while (int(m_deqCards.size()) > m_nMaxCards)
        m_deqCards.pop_front();
}

CAlarmDisplayQueue::Decoded CAlarmDisplayQueue::TakeDecoded(const QSize& sizeScene, int nMaxCards, qint64 nMaxPixels)
{
    Decoded decoded;
    std::set<std::uint64_t> setAlarms;
    qint64 nSpent = 0;
    if (m_optScene) {
        decoded.bScene = true;
        setAlarms.insert(m_optScene->nAlarm);
        // The scene fills its panel exactly, aspect ignored.
        if (m_optScene->picture.spBytes && !sizeScene.isEmpty()) {
            nSpent = PixelsOf(m_optScene->picture);
            decoded.imgScene = AlarmPicture::DecodeScaled(m_optScene->picture.spBytes->strData, sizeScene);
        }
        m_optScene.reset();
    }
    const size_t nTaken = CardsWithin(size_t(std::max(0, nMaxCards)), nMaxPixels, nSpent);
    decoded.vecCards.resize(nTaken);
    std::vector<Slot> vecSlots;
    for (size_t i = 0; i < nTaken; ++i) {
        const Card& card = m_deqCards[i];
        DecodedCard& out = decoded.vecCards[i];
        out.sizeCard = card.sizeCard;
        out.spRecord = card.spRecord;
        vecSlots.push_back({&card.face, CLinkageCardWidget::FaceLabelSize(card.sizeCard), &out.imgFace});
        vecSlots.push_back({&card.body, CLinkageCardWidget::BodyLabelSize(card.sizeCard), &out.imgBody});
        setAlarms.insert(card.nAlarm);
    }
    DecodeSlots(vecSlots);
    // Items come out in the order their alarms came, and an alarm's cards may
    // take several turns: count each alarm once, when its first item is shown.
    decoded.nAlarmsShown = int(std::count_if(setAlarms.begin(), setAlarms.end(),
                                             [this](std::uint64_t nAlarm) { return nAlarm > m_nLastShownAlarm; }));
    if (!setAlarms.empty())
        m_nLastShownAlarm = std::max(m_nLastShownAlarm, *setAlarms.rbegin());
    m_deqCards.erase(m_deqCards.begin(), m_deqCards.begin() + std::ptrdiff_t(nTaken));
    return decoded;
}

size_t CAlarmDisplayQueue::CardsWithin(size_t nMaxCards, qint64 nMaxPixels, qint64 nSpent) const
{
    std::set<const protocol::PicBinary*> setCounted;
    size_t nCards = 0;
    for (; nCards < m_deqCards.size() && nCards < nMaxCards; ++nCards) {
        qint64 nCardPixels = 0;
        for (const CardPicture* pPicture : {&m_deqCards[nCards].face, &m_deqCards[nCards].body}) {
            if (pPicture->spBytes && setCounted.insert(pPicture->spBytes.get()).second)
                nCardPixels += PixelsOf(*pPicture);
        }
        if (nCards > 0 && nSpent + nCardPixels > nMaxPixels)
            break;
        nSpent += nCardPixels;
    }
    return nCards;
}

} // namespace LinkageSnapAlarm
