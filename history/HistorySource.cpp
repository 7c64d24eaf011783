#include "history/HistorySource.h"

namespace LinkageSnapAlarm {
namespace {

std::int64_t BytesOf(const HistoryPictureSource& picture)
{
    return picture.spBytes ? std::int64_t(picture.spBytes->strData.size()) : 0;
}

} // namespace

std::int64_t HistoryAlarmSource::PictureBytes() const
{
    // Pictures shared by several persons count once per use: an upper bound.
    std::int64_t nBytes = BytesOf(scene);
    for (const HistoryCardSource& card : vecCards)
        nBytes += BytesOf(card.face) + BytesOf(card.body);
    return nBytes;
}

void HistoryAlarmSource::DropPictures()
{
    scene.spBytes.reset();
    for (HistoryCardSource& card : vecCards) {
        card.face.spBytes.reset();
        card.body.spBytes.reset();
    }
}

} // namespace LinkageSnapAlarm
