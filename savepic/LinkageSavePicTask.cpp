#include "LinkageSavePicTask.h"

#include "LinkageSavePicMgr.h"
#include "PictureFile.h"

#include <QDir>

namespace LinkageSnapAlarm {

LinkageSavePicTask::LinkageSavePicTask(const LinkageSavePicInfo& info, CLinkageSavePicMgr* pMgr)
    : m_stSavePicInfo(info)
    , m_pSavePicMgr(pMgr)
{
}

void LinkageSavePicTask::Run()
{
    if (m_stSavePicInfo.strPicData.empty() || m_stSavePicInfo.strFileName.isEmpty())
        return;
    const QString strSavePath = m_pSavePicMgr ? m_pSavePicMgr->GetSavePicPath() : QString();
    const QString strFolder = strSavePath + QLatin1Char('/') + PictureFile::SafeName(m_stSavePicInfo.strFolderName);
    // The space of the file system the picture goes to; an unknown answer does
    // not stop the attempt.
    if (!strSavePath.isEmpty() && PictureFile::CheckFreeSpace(strFolder) == PictureFile::SpaceCheck::NotEnough) {
        emit signalSpaceNotEnough();
        return;
    }
    const QString strWritten = strSavePath.isEmpty() ? QString() : WritePicture(strFolder);
    if (strWritten.isEmpty())
        emit signalSaveFailed();
    else
        emit signalPictureSaved(strWritten);
}

QString LinkageSavePicTask::WritePicture(const QString& strFolder)
{
    if (!QDir().mkpath(strFolder))
        return QString();
    const QString strBase = strFolder + QLatin1Char('/') + PictureFile::SafeName(m_stSavePicInfo.strFileName);
    const protocol::PictureRect& rect = m_stSavePicInfo.struCropRect;
    const QRectF rcFraction(rect.x, rect.y, rect.width, rect.height);
    if (PictureFile::IsWholePicture(rcFraction))
        return PictureFile::WriteNewFile(strBase, m_stSavePicInfo.strPicData.data(),
                                         qint64(m_stSavePicInfo.strPicData.size()));
    const QByteArray baPicture = QByteArray::fromRawData(m_stSavePicInfo.strPicData.data(),
                                                         int(m_stSavePicInfo.strPicData.size()));
    const QByteArray baJpeg = PictureFile::CropToJpeg(baPicture, rcFraction);
    return baJpeg.isEmpty() ? QString() : PictureFile::WriteNewFile(strBase, baJpeg.constData(), baJpeg.size());
}

} // namespace LinkageSnapAlarm
