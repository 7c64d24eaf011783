#pragma once

#include "HostExport.h"

#include <QMetaType>

#include <cstdint>
#include <string>

namespace tessel {

// A host element's identifier text (a camera's or a group's GUID).
using StrGUID = std::string;

// Element type codes of the host's resource tree.
enum ElementType : int32_t {
    ElementTypeCamera = 1,
    ElementTypeAlarmInput = 2,
};

// Any resource of the host's tree: cameras, alarm inputs and the like.
class HOST_API IElement
{
public:
    virtual ~IElement();
    virtual std::string GetElementID() const = 0;
    virtual int32_t GetElementType() const = 0;
    virtual std::string GetElementName() const = 0;
};

} // namespace tessel

// Element GUIDs travel in signals (the tree's removal signal).
Q_DECLARE_METATYPE(tessel::StrGUID)
