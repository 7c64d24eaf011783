// Feeds arbitrary bytes to the header reader every decode path asks first. It
// reads segment lengths from the input, so it must stay inside the bytes and
// answer every input; a progressive answer needs a JPEG start, and what it
// allows must fit the limits.

#include <cstdint>
#include <cstdlib>

#include "common/LinkageRules.h"
#include "common/PictureHeader.h"

#include <QByteArray>
#include <QLoggingCategory>

using namespace LinkageSnapAlarm;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray baBytes = QByteArray::fromRawData(reinterpret_cast<const char*>(pData), int(nSize));
    const PictureHeaderInfo header = ReadPictureHeader(baBytes);
    if (header.bProgressive && !baBytes.startsWith("\xFF\xD8"))
        std::abort();
    for (const DecodeOn eWhere : {DecodeOn::WorkerThread, DecodeOn::GuiThread}) {
        if (!IsPictureAllowed(header, eWhere))
            continue;
        const qint64 nPixels = qint64(header.size.width()) * header.size.height();
        if (!header.size.isValid() || nPixels > MaxPicturePixels(header.bProgressive, eWhere)
            || nPixels > kMaxPicturePixels)
            std::abort();
    }
    return 0;
}
