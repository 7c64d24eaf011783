#include "cards/CardRecord.h"

namespace LinkageSnapAlarm {

CardPicture WholePicture(std::string strBytes)
{
    auto spBytes = std::make_shared<protocol::PicBinary>();
    spBytes->strData = std::move(strBytes);
    return CardPicture{std::move(spBytes), std::nullopt};
}

QString AlarmTimeText(const QDateTime& dtAlarm, const QDate& dateToday)
{
    if (!dtAlarm.isValid())
        return QString();
    const QDateTime dtLocal = dtAlarm.toLocalTime();
    return dtLocal.toString(dtLocal.date() == dateToday ? QStringLiteral("HH:mm:ss")
                                                        : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace LinkageSnapAlarm
