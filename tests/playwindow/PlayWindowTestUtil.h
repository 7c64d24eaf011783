#pragma once

// Cameras and a camera lookup for play-window tests.

#include "Vantrel/LiveViewControllerPlugin.h"
#include "playwindow/LiveViewPlaybackPlugin.h"
#include "playwindow/StreamPlayWindowWithTask.h"

#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"

#include <algorithm>

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

// Cameras live in the host's site (rights come from there); a few elements
// that are no cameras are the plug-in's own.
class CTestLivePlugin : public CLiveViewControllerPlugin
{
public:
    ~CTestLivePlugin() override { tessel::CGroupManager::Instance().ApplySite(tessel::SiteData()); }

    void AddCamera(const std::string& strGUID, const std::string& strUrl, const std::string& strName = "",
                   uint32_t uRights = tessel::CameraRightAll, bool bPTZ = false,
                   int32_t nBufferSeconds = tessel::kDefaultBufferSeconds)
    {
        if (m_site.vecGroups.empty())
            m_site.vecGroups.push_back({"group-1", "Group 1"});
        tessel::CameraInfo info;
        info.strGUID = strGUID;
        info.strName = strName.empty() ? "Camera " + strGUID : strName;
        info.strGroupID = "group-1";
        info.strStreamUrl = strUrl;
        info.bHasSound = true;
        info.uRights = uRights;
        info.bHasPTZ = bPTZ;
        info.nBufferSeconds = nBufferSeconds;
        m_site.vecCameras.push_back(info);
        tessel::CGroupManager::Instance().ApplySite(m_site);
    }
    void AddElement(const std::string& strGUID, int32_t nType)
    {
        m_mapElements[strGUID] = std::make_unique<CTestElement>(strGUID, nType);
    }
    void Remove(const std::string& strGUID)
    {
        m_site.vecCameras.erase(std::remove_if(m_site.vecCameras.begin(), m_site.vecCameras.end(),
                                               [&](const tessel::CameraInfo& c) { return c.strGUID == strGUID; }),
                                m_site.vecCameras.end());
        tessel::CGroupManager::Instance().ApplySite(m_site);
    }

    tessel::IElement* GetElementByGUID(const std::string& strGUID) override
    {
        auto it = m_mapElements.find(strGUID);
        if (it != m_mapElements.end())
            return it->second.get();
        return tessel::CGroupManager::Instance().FindElement(strGUID);
    }

private:
    tessel::SiteData m_site;
    std::map<std::string, std::unique_ptr<tessel::IElement>> m_mapElements;
};

// A play window as the linkage view builds one.
inline CStreamPlayWindowWithTask* NewPlayWindow(CLiveViewControllerPlugin* pPlugin, QWidget* pParent = nullptr)
{
    QList<CLiveViewMenuMgr::LiveViewActionType> lstLive{
        CLiveViewMenuMgr::StopLiveView,   CLiveViewMenuMgr::Screenshot,      CLiveViewMenuMgr::StartRecording,
        CLiveViewMenuMgr::OpenPTZControl, CLiveViewMenuMgr::OpenDigitalZoom, CLiveViewMenuMgr::AudioOn,
        CLiveViewMenuMgr::InstantPlayback};
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> lstPlayback{
        TesselPlayWindow::PlaybackMenuParam::PlaybackScreenshot};
    return new CStreamPlayWindowWithTask(lstLive, lstPlayback, pPlugin, nullptr, pParent, true, 1, false);
}
