// Feeds arbitrary text to the alarm replay's line parser. It must answer every
// input with an event or a reason, and an accepted event must hold what the
// line said: a whole alarm type and, for every picture, bytes that exist.

#include <cstdint>
#include <cstdlib>

#include "sim/AlarmReplay.h"

#include <QLoggingCategory>

namespace {

void CheckPictures(const protocol::AlarmPictureInfo& picture)
{
    if (!picture.pPicBinary)
        std::abort(); // every picture record must carry its (possibly empty) bytes
}

bool SilenceRecordLog()
{
    // The records log refused lists; logging each input would drown the run.
    QLoggingCategory::setFilterRules(QStringLiteral("lsa.protocol.warning=false"));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    static const bool s_bQuiet = SilenceRecordLog();
    (void)s_bQuiet;
    const QByteArray baLine(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    AlarmSim::CPictureStore pictures; // reads no files: a fuzzer must not open paths
    AlarmSim::ReplayEvent event;
    QString strError;
    const bool bOk = AlarmSim::ParseReplayLine(baLine, pictures, event, strError);
    if (bOk && !strError.isEmpty())
        std::abort(); // an accepted line carries no reason
    if (!bOk && strError.isEmpty())
        std::abort(); // a refused line says why
    if (bOk) {
        const auto& alarm = event.info.IntelAlarmInfo;
        CheckPictures(alarm.VCASmart.bkPic);
        for (const auto& human : alarm.IntelAlarmHumanInfoList) {
            CheckPictures(human.bkPic);
            CheckPictures(human.SubPic);
        }
        for (const auto& face : alarm.IntelAlarmFaceInfoList) {
            CheckPictures(face.bkPic);
            CheckPictures(face.SubPic);
        }
        if (!(event.dAt >= 0 && event.dAt <= AlarmSim::kMaxReplayAt))
            std::abort(); // a time the replay clock cannot hold
    }
    return 0;
}
