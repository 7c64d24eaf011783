#pragma once

#include "sim/AlarmScene.h"

#include "quorra/IntelAlarmEventInfo.h"

#include <QSize>

#include <memory>
#include <string>
#include <vector>

namespace AlarmSim {

// A camera the simulator raises alarms for.
struct SimCamera
{
    std::string strSourceID;
    std::string strName;
};

struct SimSettings
{
    double dRate = 0.5;            // linkages per second (a panoramic alarm and its burst)
    int nBurst = 3;                // linkage alarms after each panoramic alarm
    int nPersons = 3;              // persons per linkage alarm
    QSize sizePicture{1920, 1080}; // every picture of the alarms

    bool operator==(const SimSettings& o) const
    {
        return dRate == o.dRate && nBurst == o.nBurst && nPersons == o.nPersons && sizePicture == o.sizePicture;
    }
};

// Makes alarm events from a few pictures drawn once: the alarms share their
// bytes, so making one is cheap whatever the resolution.
class CAlarmFactory
{
public:
    static constexpr int kVariants = 4;

    CAlarmFactory(const QSize& sizePicture, int nPersons);

    // A panoramic alarm (type 100009) opening linkage strUid, with its scene:
    // the picture of the linkage alarms of the same variant.
    quorra::IntelAlarmEventInfo Panoramic(const SimCamera& camera, const std::string& strUid, int nVariant) const;
    // A linkage alarm (type 100509) of linkage strUid: every person with body
    // and face, given the three ways devices send them (close-up, rectangle in
    // the background, face cut from the same picture) in turn.
    quorra::IntelAlarmEventInfo Linkage(const SimCamera& camera, const std::string& strUid, int nVariant) const;

    int Persons() const { return m_nPersons; }

private:
    struct Variant
    {
        std::shared_ptr<protocol::PicBinary> spScene;
        std::shared_ptr<protocol::PicBinary> spLinkedBk;
        std::vector<ScenePerson> vecPeople;
        std::vector<std::shared_ptr<protocol::PicBinary>> vecBodies;
        std::vector<std::shared_ptr<protocol::PicBinary>> vecFaces;
    };

    int m_nPersons;
    std::vector<Variant> m_vecVariants;
};

} // namespace AlarmSim
