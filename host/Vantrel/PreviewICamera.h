#pragma once

#include "Vantrel/BasePreview.h"

namespace tessel {
class ICamera;
} // namespace tessel

namespace Vantrel {

// The camera's channel as the preview knows it.
struct HOST_API CameraChannelData
{
    int nChannel = 0;
    int nChannelKind = 0;
    std::string strStreamUrl;
};

// The camera's device as the preview knows it.
struct HOST_API CameraDeviceData
{
    std::string strDeviceName;
    bool bEagleEye = false;
};

// A preview of one host camera: plays the camera's stream address.
class HOST_API CPreviewICamera : public CBasePreview
{
    Q_OBJECT
public:
    explicit CPreviewICamera(QObject* parent = nullptr);
    ~CPreviewICamera() override;

    // The camera is not owned; none clears it.
    void SetParam(tessel::ICamera* pCamera);
    tessel::ICamera* GetPreviewCamera() const { return m_pCamera; }
    bool getCameraDeviceData(CameraChannelData& channel, CameraDeviceData& device) const;

protected:
    std::string StreamAddress() const override;
    std::string StreamTitle() const override;
    std::string StreamOwnerGUID() const override;
    bool StreamHasPtz() const override;
    CPreAlarmBuffer::Limits PreAlarmLimits() const override;

private:
    tessel::ICamera* m_pCamera = nullptr;
};

} // namespace Vantrel
