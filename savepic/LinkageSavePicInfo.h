#pragma once

#include "JSONStruct/AlarmPictureInfo.h"

#include <QString>

#include <string>

namespace LinkageSnapAlarm {

// One picture to save, copied into its job.
struct LinkageSavePicInfo
{
    QString strFolderName;              // sub-folder under the save path (the alarm source)
    QString strFileName;                // without extension; empty: nothing is saved
    std::string strPicData;             // encoded picture bytes; empty: nothing is saved
    protocol::PictureRect struCropRect; // fractions to keep; all zero: the whole picture
};

} // namespace LinkageSnapAlarm
