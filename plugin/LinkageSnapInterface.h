#pragma once

#include "quorra/IAIInterface.h"

#include <QPointer>

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
    // Watched, not owned: once its parent has deleted it, the next call makes a new one.
    QPointer<CLinckageSnap> m_pAIWidget;
};

} // namespace LinkageSnapAlarm
