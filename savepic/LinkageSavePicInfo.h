#pragma once

#include "protocol/JSONStruct/AlarmPictureInfo.h"

#include <QString>

#include <memory>
#include <string>

namespace LinkageSnapAlarm {

// One picture to save, copied into its job.
struct LinkageSavePicInfo
{
    QString strFolderName;              // sub-folder under the save path (the alarm source)
    QString strFileName;                // without extension; empty: nothing is saved
    std::string strPicData;             // encoded picture bytes; empty: nothing is saved
    protocol::PictureRect struCropRect; // fractions to keep; all zero: the whole picture
    // The alarm's own bytes, shared instead of copied into strPicData; when set
    // they are the picture.
    std::shared_ptr<const protocol::PicBinary> spPicBytes;
    // The asker's own number for the picture, told back with the path written.
    quint64 nRequestId = 0;

    const std::string& PicData() const { return spPicBytes ? spPicBytes->strData : strPicData; }
};

} // namespace LinkageSnapAlarm
