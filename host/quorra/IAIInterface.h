#pragma once

#include "HostExport.h"

#include <QString>

class QWidget;

namespace quorra {

class IAIWidget;

// What an AI dashboard plug-in hands to the host: its button's texts and icon,
// and the widget the dashboard embeds.
class HOST_API IAIInterface
{
public:
    virtual ~IAIInterface();
    virtual QString getObjectName() const = 0;
    virtual QString getAIName() const = 0;
    virtual QString getAIIconUrl() const = 0;
    virtual IAIWidget* getAIWidget(QWidget* parent) = 0;
    virtual QString getAIDllName() const = 0;
};

// The two functions every dashboard plug-in library exports with C linkage.
using GetAIInterfaceFn = IAIInterface* (*)();
using GetAIWidgetFn = IAIWidget* (*)(QWidget*);

} // namespace quorra
