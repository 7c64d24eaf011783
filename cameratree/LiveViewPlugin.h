#pragma once

#include "Vantrel/LiveViewControllerPlugin.h"

namespace Miravel {
class CLogicModel;
} // namespace Miravel

namespace LinkageSnapAlarm {

class CLinkageCameraModel;

// The play windows' camera lookup, answered from the camera tree's model.
class CLiveViewPlugin : public CLiveViewControllerPlugin
{
public:
    explicit CLiveViewPlugin(CLinkageCameraModel* pModel);
    ~CLiveViewPlugin() override;

    // The camera of that GUID as an element, or null for an empty GUID, an
    // unknown one, anything that is not a camera or a camera without identifier.
    tessel::IElement* GetElementByGUID(const std::string& strGUID) override;

private:
    Miravel::CLogicModel* m_pLogicModel = nullptr;
};

} // namespace LinkageSnapAlarm
