#include "sim/AlarmSimulator.h"

#include "sim/SimLogging.h"

#include "quorra/AlarmTransfer.h"
#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"

#include "Fendra/Singleton.h"

#include <QUuid>

#include <chrono>

namespace AlarmSim {

CAlarmSimulator::CAlarmSimulator(QObject* parent)
    : QObject(parent)
{
}

CAlarmSimulator::~CAlarmSimulator()
{
    Stop();
}

void CAlarmSimulator::TakeCamerasFromSite()
{
    std::vector<SimCamera> vecPanoramic;
    std::vector<SimCamera> vecLinked;
    tessel::CGroupManager& groups = tessel::CGroupManager::Instance();
    for (const tessel::GroupInfo& group : groups.GetAllGroups()) {
        for (tessel::IElement* pElement : groups.GetElementsOfGroup(group.strGUID)) {
            auto* pCamera = dynamic_cast<tessel::CCamera*>(pElement);
            if (!pCamera)
                continue;
            const tessel::CameraInfo& info = pCamera->Info();
            if (info.strLinkageRole == "panoramic")
                vecPanoramic.push_back({info.strAlarmSourceID, info.strName});
            else if (info.strLinkageRole == "linked")
                vecLinked.push_back({info.strAlarmSourceID, info.strName});
        }
    }
    // Every alarm the simulator raises starts at a panoramic camera.
    if (vecPanoramic.empty())
        qCInfo(lcSim, "the site has no panoramic camera: the simulator raises no alarms");
    SetCameras(std::move(vecPanoramic), std::move(vecLinked));
}

void CAlarmSimulator::SetCameras(std::vector<SimCamera> vecPanoramic, std::vector<SimCamera> vecLinked)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_vecPanoramic = std::move(vecPanoramic);
    m_vecLinked = std::move(vecLinked);
}

void CAlarmSimulator::SetSettings(const SimSettings& settings)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (settings == m_settings)
            return;
        m_settings = settings;
        m_bSettingsChanged = true;
    }
    m_cvWake.notify_all();
}

SimSettings CAlarmSimulator::Settings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

void CAlarmSimulator::Start()
{
    m_worker.Start([this] { Run(); });
}

void CAlarmSimulator::Stop()
{
    m_worker.Stop();
}

void CAlarmSimulator::Run()
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    std::unique_ptr<CAlarmFactory> upFactory;
    SimSettings settings;
    int nCycle = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_worker.StopRequested()) {
        if (m_bSettingsChanged || !upFactory) {
            const bool bNewPictures = !upFactory || settings.sizePicture != m_settings.sizePicture
                                      || settings.nPersons != m_settings.nPersons;
            settings = m_settings;
            m_bSettingsChanged = false;
            if (bNewPictures) {
                lock.unlock(); // drawing 4K pictures takes a while
                upFactory = std::make_unique<CAlarmFactory>(settings.sizePicture, settings.nPersons);
                emit signalPicturesChanged(QString("%1x%2, %3 persons")
                                               .arg(settings.sizePicture.width())
                                               .arg(settings.sizePicture.height())
                                               .arg(settings.nPersons));
                lock.lock();
                continue;
            }
        }
        const std::vector<SimCamera> vecPanoramic = m_vecPanoramic;
        const std::vector<SimCamera> vecLinked = m_vecLinked;
        lock.unlock();

        if (!vecPanoramic.empty()) {
            const std::string strUid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
            const SimCamera& panoramic = vecPanoramic[size_t(nCycle) % vecPanoramic.size()];
            transfer.PostAlarmEvent(
                std::make_shared<quorra::CIntelAlarmEvent>(upFactory->Panoramic(panoramic, strUid, nCycle)));
            ++m_nSent;
            for (int i = 0; i < settings.nBurst && !vecLinked.empty(); ++i) {
                const SimCamera& linked = vecLinked[size_t(nCycle + i) % vecLinked.size()];
                // The linked cameras report the persons of the linkage's scene.
                transfer.PostAlarmEvent(
                    std::make_shared<quorra::CIntelAlarmEvent>(upFactory->Linkage(linked, strUid, nCycle)));
                ++m_nSent;
            }
        }
        ++nCycle;

        lock.lock();
        const auto pause = std::chrono::duration<double>(settings.dRate > 0 ? 1.0 / settings.dRate : 3600.0);
        m_cvWake.wait_for(lock, pause, [this] { return m_worker.StopRequested() || m_bSettingsChanged; });
    }
}

} // namespace AlarmSim
