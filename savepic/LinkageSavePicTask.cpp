#include "savepic/LinkageSavePicTask.h"

#include "savepic/FolderCheckCache.h"
#include "savepic/LinkageSavePicMgr.h"
#include "savepic/PictureFile.h"

namespace LinkageSnapAlarm {

LinkageSavePicTask::LinkageSavePicTask(const LinkageSavePicInfo& info, CLinkageSavePicMgr* pMgr)
    : m_stSavePicInfo(info)
    , m_pSavePicMgr(pMgr)
{
}

void LinkageSavePicTask::Run()
{
    if (m_stSavePicInfo.PicData().empty() || m_stSavePicInfo.strFileName.isEmpty())
        return;
    const bool bWritten = Save();
    if (m_pSavePicMgr)
        m_pSavePicMgr->OnJobDone(std::int64_t(m_stSavePicInfo.PicData().size()), bWritten);
}

bool LinkageSavePicTask::Save()
{
    const QString strSavePath = m_pSavePicMgr ? m_pSavePicMgr->GetSavePicPath() : QString();
    if (strSavePath.isEmpty()) {
        emit signalSaveFailed();
        return false;
    }
    const QString strFolder = strSavePath + QLatin1Char('/') + PictureFile::SafeName(m_stSavePicInfo.strFolderName);
    CFolderCheckCache& cache = m_pSavePicMgr->FolderChecks();
    bool bReused = false;
    const CFolderCheckCache::Result eResult = cache.Check(strFolder, bReused);
    if (eResult != CFolderCheckCache::Result::Ready) {
        if (eResult == CFolderCheckCache::Result::NotEnoughSpace)
            emit signalSpaceNotEnough();
        else
            emit signalSaveFailed();
        return false;
    }
    QByteArray baBytes;
    if (!EncodedBytes(baBytes)) {
        emit signalSaveFailed();
        return false;
    }
    const QString strBase = strFolder + QLatin1Char('/') + PictureFile::SafeName(m_stSavePicInfo.strFileName);
    QString strWritten = PictureFile::WriteNewFile(strBase, baBytes.constData(), baBytes.size());
    if (strWritten.isEmpty() && bReused) {
        // The folder may have gone since it was checked: check afresh and try once more.
        cache.Forget();
        if (cache.Check(strFolder, bReused) == CFolderCheckCache::Result::Ready)
            strWritten = PictureFile::WriteNewFile(strBase, baBytes.constData(), baBytes.size());
    }
    if (strWritten.isEmpty()) {
        cache.Forget();
        emit signalSaveFailed();
        return false;
    }
    emit signalPictureSaved(strWritten);
    emit signalPictureSavedFor(m_stSavePicInfo.nRequestId, strWritten);
    return true;
}

bool LinkageSavePicTask::EncodedBytes(QByteArray& baBytes) const
{
    const protocol::PictureRect& rect = m_stSavePicInfo.struCropRect;
    const QRectF rcFraction(rect.x, rect.y, rect.width, rect.height);
    const std::string& strPicData = m_stSavePicInfo.PicData();
    const QByteArray baPicture = QByteArray::fromRawData(strPicData.data(), int(strPicData.size()));
    if (PictureFile::IsWholePicture(rcFraction)) {
        baBytes = baPicture; // shares the job's bytes, no copy
        return true;
    }
    baBytes = PictureFile::CropToJpeg(baPicture, rcFraction);
    return !baBytes.isEmpty();
}

} // namespace LinkageSnapAlarm
