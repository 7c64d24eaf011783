#include "LiveViewPlugin.h"

#include "LinkageCameraModel.h"

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
    tessel::IElement* pElement = m_pLogicModel->FindElementByElementID(strGUID);
    if (!pElement || pElement->GetElementType() != tessel::ElementTypeCamera)
        return nullptr;
    auto* pCamera = dynamic_cast<tessel::ICamera*>(pElement);
    if (!pCamera || pCamera->GetElementID().empty())
        return nullptr;
    return pCamera;
}

} // namespace LinkageSnapAlarm
