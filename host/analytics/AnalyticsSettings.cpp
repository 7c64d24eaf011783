#include "analytics/AnalyticsSettings.h"

#include <cjson/cJSON.h>

#include <cmath>
#include <cstring>
#include <tuple>

namespace Analytics {
namespace {

struct NumberField
{
    const char* pszKey;
    int AnalyticsSettings::*pMember;
    int nMin;
    int nMax;
};

const NumberField kNumberFields[] = {
    {"fps", &AnalyticsSettings::nFps, 1, 25},
    {"width", &AnalyticsSettings::nWidth, 160, 3840},
    {"minPersonHeight", &AnalyticsSettings::nMinPersonHeight, 32, 2160},
    {"linkageWindow", &AnalyticsSettings::nLinkageWindowS, 1, 3600},
    {"detectEvery", &AnalyticsSettings::nDetectEvery, 1, 10},
};

struct BoolField
{
    const char* pszKey;
    bool AnalyticsSettings::*pMember;
};

const BoolField kBoolFields[] = {
    {"persons", &AnalyticsSettings::bPersons},
    {"faces", &AnalyticsSettings::bFaces},
};

bool ReadNumber(const NumberField& field, const cJSON* pItem, AnalyticsSettings& settings, QString& strProblem)
{
    const double dValue = cJSON_IsNumber(pItem) ? pItem->valuedouble : NAN;
    // Range first: converting a huge or non-finite number to int is undefined.
    if (!(dValue >= field.nMin && dValue <= field.nMax) || dValue != std::floor(dValue)) {
        strProblem = QStringLiteral("\"%1\": expected a whole number from %2 to %3")
                         .arg(QLatin1String(field.pszKey))
                         .arg(field.nMin)
                         .arg(field.nMax);
        return false;
    }
    settings.*field.pMember = static_cast<int>(dValue);
    return true;
}

} // namespace

bool AnalyticsSettings::operator==(const AnalyticsSettings& o) const
{
    auto tie = [](const AnalyticsSettings& s) {
        return std::tie(s.bPersons, s.bFaces, s.nFps, s.nWidth, s.nMinPersonHeight, s.nLinkageWindowS, s.nDetectEvery);
    };
    return tie(*this) == tie(o);
}

bool ReadAnalyticsSettings(const cJSON* pValue, AnalyticsSettings& settings, QString& strProblem)
{
    if (!cJSON_IsObject(pValue)) {
        strProblem = QStringLiteral("expected an object");
        return false;
    }
    AnalyticsSettings read;
    for (const cJSON* pItem = pValue->child; pItem; pItem = pItem->next) {
        const char* pszKey = pItem->string ? pItem->string : "";
        bool bKnown = false;
        for (const BoolField& field : kBoolFields) {
            if (std::strcmp(pszKey, field.pszKey) != 0)
                continue;
            bKnown = true;
            if (!cJSON_IsBool(pItem)) {
                strProblem = QStringLiteral("\"%1\": expected true or false").arg(QLatin1String(field.pszKey));
                return false;
            }
            read.*field.pMember = cJSON_IsTrue(pItem);
        }
        for (const NumberField& field : kNumberFields) {
            if (std::strcmp(pszKey, field.pszKey) != 0)
                continue;
            bKnown = true;
            if (!ReadNumber(field, pItem, read, strProblem))
                return false;
        }
        if (!bKnown) {
            strProblem = QStringLiteral("\"%1\": unknown (known: persons, faces, fps, width, minPersonHeight, "
                                        "linkageWindow, detectEvery)")
                             .arg(QString::fromUtf8(pszKey).left(64));
            return false;
        }
    }
    settings = read;
    return true;
}

} // namespace Analytics
