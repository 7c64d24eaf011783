#pragma once

// Cameras and a camera lookup for play-window tests.

#include "LiveViewControllerPlugin.h"
#include "ui/LiveView/StreamPlayWindowWithTask.h"

#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"
#include "tessel/Site.h"

#include <map>
#include <memory>
#include <string>

// An element of the tree that is not a camera.
class CTestElement : public tessel::IElement
{
public:
    CTestElement(std::string strId, int32_t nType)
        : m_strId(std::move(strId))
        , m_nType(nType)
    {
    }
    std::string GetElementID() const override { return m_strId; }
    int32_t GetElementType() const override { return m_nType; }
    std::string GetElementName() const override { return "element " + m_strId; }

private:
    std::string m_strId;
    int32_t m_nType;
};

class CTestLivePlugin : public CLiveViewControllerPlugin
{
public:
    tessel::CCamera* AddCamera(const std::string& strGUID, const std::string& strUrl, const std::string& strName = "")
    {
        tessel::CameraInfo info;
        info.strGUID = strGUID;
        info.strName = strName.empty() ? "Camera " + strGUID : strName;
        info.strStreamUrl = strUrl;
        info.bHasSound = true;
        auto upCamera = std::make_unique<tessel::CCamera>(info);
        tessel::CCamera* pCamera = upCamera.get();
        m_mapElements[strGUID] = std::move(upCamera);
        // Rights come from the site: the host's site holds every test camera.
        info.strGroupID = "test-group";
        m_site.vecGroups = {{"test-group", "Test group"}};
        m_site.vecCameras.push_back(info);
        tessel::CGroupManager::Instance().ApplySite(m_site);
        return pCamera;
    }
    void AddElement(const std::string& strGUID, int32_t nType)
    {
        m_mapElements[strGUID] = std::make_unique<CTestElement>(strGUID, nType);
    }
    void Remove(const std::string& strGUID) { m_mapElements.erase(strGUID); }

    tessel::IElement* GetElementByGUID(const std::string& strGUID) override
    {
        auto it = m_mapElements.find(strGUID);
        return it == m_mapElements.end() ? nullptr : it->second.get();
    }

    ~CTestLivePlugin() override { tessel::CGroupManager::Instance().ApplySite({}); }

private:
    std::map<std::string, std::unique_ptr<tessel::IElement>> m_mapElements;
    tessel::SiteData m_site;
};

// A play window as the linkage view builds one.
inline CStreamPlayWindowWithTask* NewPlayWindow(CLiveViewControllerPlugin* pPlugin, QWidget* pParent = nullptr)
{
    QList<CLiveViewMenuMgr::LiveViewActionType> lstLive{CLiveViewMenuMgr::StopLiveView, CLiveViewMenuMgr::Screenshot,
                                                        CLiveViewMenuMgr::StartRecording,
                                                        CLiveViewMenuMgr::OpenPTZControl,
                                                        CLiveViewMenuMgr::OpenDigitalZoom, CLiveViewMenuMgr::AudioOn};
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> lstPlayback{
        TesselPlayWindow::PlaybackMenuParam::PlaybackScreenshot};
    return new CStreamPlayWindowWithTask(lstLive, lstPlayback, pPlugin, nullptr, pParent, true, 1, false);
}
