#include "Vantrel/PreviewICamera.h"

#include "tessel/ICamera.h"

namespace Vantrel {

CPreviewICamera::CPreviewICamera(QObject* parent)
    : CBasePreview(parent)
{
}

CPreviewICamera::~CPreviewICamera() = default;

void CPreviewICamera::SetParam(tessel::ICamera* pCamera)
{
    m_pCamera = pCamera;
}

bool CPreviewICamera::getCameraDeviceData(CameraChannelData& channel, CameraDeviceData& device) const
{
    if (!m_pCamera)
        return false;
    channel.nChannel = m_pCamera->GetChannel();
    channel.strStreamUrl = m_pCamera->GetStreamUrl();
    device.strDeviceName = m_pCamera->GetDeviceName();
    return true;
}

std::string CPreviewICamera::StreamAddress() const
{
    return m_pCamera ? m_pCamera->GetStreamUrl() : std::string();
}

std::string CPreviewICamera::StreamTitle() const
{
    return m_pCamera ? m_pCamera->GetElementName() : std::string();
}

std::string CPreviewICamera::StreamOwnerGUID() const
{
    return m_pCamera ? m_pCamera->GetElementID() : std::string();
}

bool CPreviewICamera::StreamHasPtz() const
{
    return m_pCamera && m_pCamera->HasPTZ();
}

CPreAlarmBuffer::Limits CPreviewICamera::PreAlarmLimits() const
{
    CPreAlarmBuffer::Limits limits;
    if (m_pCamera) {
        limits.nWindowNs = qint64(m_pCamera->GetBufferSeconds()) * 1000 * 1000 * 1000;
        limits.nMaxBytes = qint64(m_pCamera->GetBufferMiB()) * 1024 * 1024;
    }
    return limits;
}

} // namespace Vantrel
