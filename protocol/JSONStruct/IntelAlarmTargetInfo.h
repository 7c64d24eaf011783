#pragma once
// Targets detected by an intelligent alarm: human bodies, faces, non-motor
// vehicles, vehicles and mobile terminals. Integer attributes are device codes
// that the plug-in carries without interpreting them.

#include <string>
#include <vector>

#include "protocol/JSONStruct/AlarmPictureInfo.h"

namespace protocol {

struct IntelAlarmHumanInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_HUMAN_INFO_FIELDS(F) \
    F(bool, MatchFace, "MatchFace")               \
    F(bool, FaceFromSamePic, "FaceFromSamePic")   \
    F(bool, NeedSaveBkImg, "NeedSaveBkImg")       \
    F(bool, ThreeWheel, "ThreeWheel")             \
    F(int, UpColor, "UpColor")                    \
    F(int, DownColor, "DownColor")                \
    F(int, Sex, "Sex")                            \
    F(int, Glass, "Glass")                        \
    F(int, Bag, "Bag")                            \
    F(int, Things, "Things")                      \
    F(int, Hat, "Hat")                            \
    F(int, Mask, "Mask")                          \
    F(int, LongShirt, "LongShirt")                \
    F(int, TrousersType, "TrousersType")          \
    F(int, LongHair, "LongHair")                  \
    F(int, Ride, "Ride")                          \
    F(int, MultiRider, "MultiRider")              \
    F(int, AgeGroup, "AgeGroup")                  \
    F(AlarmPictureInfo, bkPic, "bkPic")           \
    F(AlarmPictureInfo, SubPic, "SubPic")
    PROTOCOL_INBOUND_RECORD(IntelAlarmHumanInfo, PROTOCOL_INTEL_ALARM_HUMAN_INFO_FIELDS)
};

struct IntelAlarmFaceInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_FACE_INFO_FIELDS(F)            \
    F(bool, IsMatchedFace, "IsMatchedFace")                 \
    F(bool, NeedSaveBkImg, "NeedSaveBkImg")                 \
    F(int, facePicID, "facePicID")                          \
    F(int, age, "age")                                      \
    F(double, StayDuration, "StayDuration")                 \
    F(int, Sex, "Sex")                                      \
    F(int, Glass, "Glass")                                  \
    F(int, AgeGroup, "AgeGroup")                            \
    F(int, Mask, "Mask")                                    \
    F(int, Expression, "Expression")                        \
    F(int, Beard, "Beard")                                  \
    F(int, Smile, "Smile")                                  \
    F(int, LivenessStatus, "LivenessStatus")                \
    F(int, Race, "Race")                                    \
    F(int, Hat, "Hat")                                      \
    F(int, TemperatureEnabled, "TemperatureEnabled")        \
    F(int, TemperatureAnomaly, "TemperatureAnomaly")        \
    F(int, TemperatureUnit, "TemperatureUnit")              \
    F(double, Temperature, "Temperature")                   \
    F(double, HighAlarmTemperature, "HighAlarmTemperature") \
    F(AlarmPictureInfo, bkPic, "bkPic")                     \
    F(AlarmPictureInfo, SubPic, "SubPic")                   \
    F(AlarmPictureInfo, ThermalPic, "ThermalPic")
    PROTOCOL_INBOUND_RECORD(IntelAlarmFaceInfo, PROTOCOL_INTEL_ALARM_FACE_INFO_FIELDS)
};

struct IntelAlarmNonMotorInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_NON_MOTOR_INFO_FIELDS(F) F(double, x, "x")
    PROTOCOL_INBOUND_RECORD(IntelAlarmNonMotorInfo, PROTOCOL_INTEL_ALARM_NON_MOTOR_INFO_FIELDS)
};

struct IntelAlarmVehicleInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_VEHICLE_INFO_FIELDS(F)  \
    F(bool, NeedSaveBkImg, "NeedSaveBkImg")          \
    F(int, MainBand, "MainBand")                     \
    F(int, SubBand, "SubBand")                       \
    F(int, CarModel, "CarModel")                     \
    F(int, Band, "Band")                             \
    F(int, CarType, "CarType")                       \
    F(int, CarColor, "CarColor")                     \
    F(int, CarColorDepth, "CarColorDepth")           \
    F(int, PlateType, "PlateType")                   \
    F(std::string, Plate, "Plate")                   \
    F(int, PlateConfidence, "PlateConfidence")       \
    F(int, PlateColor, "PlateColor")                 \
    F(int, Phone, "Phone")                           \
    F(int, SafeBelt, "SafeBelt")                     \
    F(int, SunShield, "SunShield")                   \
    F(int, Hanging, "Hanging")                       \
    F(int, AlarmType, "AlarmType")                   \
    F(int, AIDType, "AIDType")                       \
    F(int, LaneNo, "LaneNo")                         \
    F(int, CrossLine, "CrossLine")                   \
    F(int, CrossSpaces, "CrossSpaces")               \
    F(int, AngledParking, "AngledParking")           \
    F(int, CarEnterState, "CarEnterState")           \
    F(int, AlarmValidity, "AlarmValidity")           \
    F(int, TriggerType, "TriggerType")               \
    F(std::string, ParkingNo, "ParkingNo")           \
    F(std::string, SceneName, "SceneName")           \
    F(std::string, MonitorTaskID, "MonitorTaskID")   \
    F(int, ListType, "ListType")                     \
    F(AlarmPictureInfo, bkPic, "bkPic")              \
    F(AlarmPictureInfo, SubPic, "SubPic")            \
    F(AlarmPictureInfo, PlatebkPic, "PlatebkPic")    \
    F(AlarmPictureInfo, PlateSubPic, "PlateSubPic")  \
    F(AlarmPictureInfo, MixPic, "MixPic")            \
    F(std::string, HPNo, "HPNo")                     \
    F(int, lane, "lane")                             \
    F(int, parkingSpaceStatus, "parkingSpaceStatus") \
    F(double, rate, "rate")                          \
    F(int, operationPeopleNum, "operationPeopleNum") \
    F(int, operationStatus, "operationStatus")       \
    F(int, motionStatus, "motionStatus")             \
    F(int, vehicleDoorStatus, "vehicleDoorStatus")   \
    F(int, stockStatus, "stockStatus")
    PROTOCOL_INBOUND_RECORD(IntelAlarmVehicleInfo, PROTOCOL_INTEL_ALARM_VEHICLE_INFO_FIELDS)
};

// A mobile terminal seen by an electronic fence.
struct IntelAlarmMEFInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_MEF_INFO_FIELDS(F) \
    F(std::string, time, "time")                \
    F(std::string, IMSI, "IMSI")                \
    F(std::string, IMEI, "IMEI")                \
    F(int, bandIdx, "bandIdx")
    PROTOCOL_INBOUND_RECORD(IntelAlarmMEFInfo, PROTOCOL_INTEL_ALARM_MEF_INFO_FIELDS)
};

}  // namespace protocol
