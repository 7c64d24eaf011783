#include "cameratree/LiveViewPlugin.h"

#include "cameratree/LinkageCameraModel.h"

#include "tessel/ICamera.h"

namespace LinkageSnapAlarm {

CLiveViewPlugin::CLiveViewPlugin(CLinkageCameraModel* pModel)
    : m_pLogicModel(pModel)
{
}

CLiveViewPlugin::~CLiveViewPlugin() = default;

tessel::IElement* CLiveViewPlugin::GetElementByGUID(const std::string& strGUID)
{
    if (strGUID.empty() || !m_pLogicModel)
        return nullptr;
    tessel::ICamera* pCamera = tessel::AsCamera(m_pLogicModel->FindElementByElementID(strGUID));
    if (!pCamera || pCamera->GetElementID().empty())
        return nullptr;
    return pCamera;
}

} // namespace LinkageSnapAlarm
