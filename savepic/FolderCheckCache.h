#pragma once

#include <QString>

#include <chrono>
#include <mutex>

namespace LinkageSnapAlarm {

// Whether pictures may be written into a folder now: enough free space (or an
// unknown answer) and the folder created. In an alarm storm the same folder is
// checked for every picture; a positive answer is reused for kReuseFor, while an
// answer of too little space is never reused, so no picture is written after the
// latest answer said the space ran short.
class CFolderCheckCache
{
public:
    static constexpr std::chrono::milliseconds kReuseFor = std::chrono::milliseconds(1000);

    enum class Result { Ready, NotEnoughSpace, FolderFailed };

    // bReused tells whether a recent answer was taken instead of asking again.
    Result Check(const QString& strFolder, bool& bReused);
    // Drops the recent answer, after a write into the folder failed.
    void Forget();

private:
    std::mutex m_mutex;
    QString m_strFolder;
    std::chrono::steady_clock::time_point m_tpChecked;
    bool m_bValid = false;
};

} // namespace LinkageSnapAlarm
