#pragma once

#include "quorra/IAIInterface.h"

namespace LinkageSnapAlarm {

class CLinckageSnap;

// The plug-in's face towards the AI dashboard. It never owns the widget: the
// widget's Qt parent does.
class CLinkageSnapInterface : public quorra::IAIInterface
{
public:
    CLinkageSnapInterface() = default;
    CLinkageSnapInterface(const CLinkageSnapInterface& other) = default;
    CLinkageSnapInterface& operator=(const CLinkageSnapInterface& other) = default;
    ~CLinkageSnapInterface() override = default;

    QString getObjectName() const override;
    QString getAIName() const override;
    QString getAIIconUrl() const override;
    quorra::IAIWidget* getAIWidget(QWidget* parent) override;
    QString getAIDllName() const override;

private:
    CLinckageSnap* m_pAIWidget = nullptr;
};

} // namespace LinkageSnapAlarm
