#pragma once

#include <QObject>

#include <set>
#include <string>

class QWidget;

namespace tessel {
class ICamera;
} // namespace tessel

// Voice talk with cameras. The host has no talk channel yet: talk is granted
// and tracked for cameras whose user holds the sound right, refused otherwise.
class CCameraVoiceTalkController : public QObject
{
    Q_OBJECT
public:
    CCameraVoiceTalkController();
    ~CCameraVoiceTalkController() override;

    bool StartTalk(tessel::ICamera* pCamera, QWidget* pParent);
    void StopTalk(const std::string& strCameraGUID);
    bool IsTalking(const std::string& strCameraGUID) const;

signals:
    void SignalTalkStateChanged(const QString& strCameraGUID, bool bTalking);

private:
    std::set<std::string> m_setTalking;
};
