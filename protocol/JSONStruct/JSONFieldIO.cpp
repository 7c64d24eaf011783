#include "JSONStruct/JSONFieldIO.h"

#include <climits>
#include <cmath>

namespace protocol::detail {

int SaturateToInt32(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (dValue <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(dValue);
}

int ToInt32(const cJSON* pItem)
{
    if (cJSON_IsNumber(pItem))
        return SaturateToInt32(pItem->valuedouble);
    return cJSON_IsTrue(pItem) ? 1 : 0;
}

void ReadValue(const cJSON* pItem, std::string& strValue)
{
    if (cJSON_IsString(pItem) && pItem->valuestring)
        strValue.assign(pItem->valuestring);
    else
        strValue.clear();
}

}  // namespace protocol::detail
