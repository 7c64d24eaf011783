// Cost of the alarm records over plain cJSON: parsing a panoramic and a
// linkage alarm with cJSON alone and with FromJSON of the alarm record,
// writing the record back out, and copying it. After the run the ratio of
// parse + FromJSON to parse alone is printed for each alarm: by default from
// the medians of interleaved repetitions, so that a busy shared machine
// shifts both sides alike.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "protocol/JSONStruct/IntelAlarmInfoStruct.h"

namespace {

std::string Rect(double x, double y, double w, double h)
{
    char sz[128];
    std::snprintf(sz, sizeof sz, R"({"x":%.4f,"y":%.4f,"width":%.4f,"height":%.4f})", x, y, w, h);
    return sz;
}

std::string Picture(const std::string& strId, int nRects)
{
    std::string strRects;
    for (int i = 0; i < nRects; ++i)
        strRects += (i ? "," : "") + Rect(0.1125 + 0.02 * i, 0.2046, 0.0917, 0.537 - 0.1 * i);
    return R"({"guid":"{C7D1)" + strId
           + R"(-2B3C-4D5E-8F60-7A8B9C0D1E2F}",)"
             R"("url":"http://10.0.0.22:6120/pic?did=102&bid=9001&pid=5510)"
           + strId
           + R"(&ptime=1706745601",)"
             R"("hasFace":true,"PictureRectList":[)"
           + strRects + "]}";
}

std::string Human(int nIndex, int nRects)
{
    const std::string strId = std::to_string(nIndex);
    return R"({"MatchFace":false,"FaceFromSamePic":true,"NeedSaveBkImg":true,"ThreeWheel":false,"UpColor":3,)"
           R"("DownColor":1,"Sex":1,"Glass":0,"Bag":1,"Things":0,"Hat":2,"Mask":1,"LongShirt":1,"TrousersType":2,)"
           R"("LongHair":0,"Ride":0,"MultiRider":0,"AgeGroup":3,"bkPic":)"
           + Picture("10" + strId, 0) + R"(,"SubPic":)" + Picture("20" + strId, nRects) + "}";
}

std::string Face()
{
    return R"({"IsMatchedFace":false,"NeedSaveBkImg":true,"facePicID":40211,"age":31,"StayDuration":2.5,"Sex":1,)"
           R"("Glass":0,"AgeGroup":3,"Mask":1,"Expression":2,"Beard":0,"Smile":1,"LivenessStatus":1,"Race":0,)"
           R"("Hat":0,"TemperatureEnabled":1,"TemperatureAnomaly":0,"TemperatureUnit":0,"Temperature":36.6,)"
           R"("HighAlarmTemperature":37.3,"bkPic":)"
           + Picture("300", 1) + R"(,"SubPic":)" + Picture("301", 1) + R"(,"ThermalPic":)" + Picture("302", 0) + "}";
}

const char* kEmptyLists =
    R"("IntelAlarmNonMotorInfoList":[],"IntelAlarmVehicleInfoList":[],"IntelAlarmMEFInfoList":[])";

// A linked channel's alarm: three humans with two or three rectangles, one face.
const std::string& LinkageAlarm()
{
    static const std::string s_strText = R"({"LinkageUid":"7f3a2c1e-5b9d-4e21-9c0a-1d2e3f405162",)"
                                         R"("IntelAlarmFaceInfoList":[)"
                                         + Face() + R"(],"IntelAlarmHumanInfoList":[)" + Human(0, 3) + "," + Human(1, 2)
                                         + "," + Human(2, 3) + "]," + kEmptyLists + "}";
    return s_strText;
}

// The panoramic channel's alarm: the scene picture only.
const std::string& PanoramicAlarm()
{
    static const std::string s_strText = R"({"LinkageUid":"7f3a2c1e-5b9d-4e21-9c0a-1d2e3f405162",)"
                                         R"("VCASmart":{"TargetType":1,"bkPic":)"
                                         + Picture("400", 1)
                                         + "},"
                                           R"("IntelAlarmFaceInfoList":[],"IntelAlarmHumanInfoList":[],)"
                                         + kEmptyLists + "}";
    return s_strText;
}

const std::string& Alarm(int nWhich)
{
    return nWhich == 0 ? PanoramicAlarm() : LinkageAlarm();
}

void SetAlarmLabel(benchmark::State& state)
{
    state.SetLabel(state.range(0) == 0 ? "panoramic" : "linkage");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Alarm(static_cast<int>(state.range(0))).size()));
}

void BM_Parse(benchmark::State& state)
{
    const std::string& strText = Alarm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        cJSON* pRoot = cJSON_Parse(strText.c_str());
        benchmark::DoNotOptimize(pRoot);
        cJSON_Delete(pRoot);
    }
    SetAlarmLabel(state);
}
BENCHMARK(BM_Parse)->Arg(0)->Arg(1);

void BM_ParseFromJSON(benchmark::State& state)
{
    const std::string& strText = Alarm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        cJSON* pRoot = cJSON_Parse(strText.c_str());
        protocol::IntelAlarmInfoStruct alarm(pRoot);
        benchmark::DoNotOptimize(alarm.IntelAlarmHumanInfoList.data());
        cJSON_Delete(pRoot);
    }
    SetAlarmLabel(state);
}
BENCHMARK(BM_ParseFromJSON)->Arg(0)->Arg(1);

// The fixed part of every FromJSON: an empty record built and destroyed.
void BM_ConstructAlarm(benchmark::State& state)
{
    for (auto _ : state) {
        protocol::IntelAlarmInfoStruct alarm;
        benchmark::DoNotOptimize(alarm.IntelAlarmHumanInfoList.data());
    }
}
BENCHMARK(BM_ConstructAlarm);

protocol::IntelAlarmInfoStruct DecodedAlarm(int nWhich)
{
    cJSON* pRoot = cJSON_Parse(Alarm(nWhich).c_str());
    protocol::IntelAlarmInfoStruct alarm(pRoot);
    cJSON_Delete(pRoot);
    return alarm;
}

void BM_ToJSONPrint(benchmark::State& state)
{
    const protocol::IntelAlarmInfoStruct alarm = DecodedAlarm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        cJSON* pNode = alarm.ToJSON();
        char* szText = cJSON_PrintUnformatted(pNode);
        benchmark::DoNotOptimize(szText);
        cJSON_free(szText);
        cJSON_Delete(pNode);
    }
    SetAlarmLabel(state);
}
BENCHMARK(BM_ToJSONPrint)->Arg(0)->Arg(1);

void BM_CopyAlarm(benchmark::State& state)
{
    const protocol::IntelAlarmInfoStruct alarm = DecodedAlarm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        protocol::IntelAlarmInfoStruct copy(alarm);
        benchmark::DoNotOptimize(copy.IntelAlarmHumanInfoList.data());
    }
    SetAlarmLabel(state);
}
BENCHMARK(BM_CopyAlarm)->Arg(0)->Arg(1);

// Keeps the CPU time per iteration so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark.
            const bool bMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (bMedian || (run.run_type == Run::RT_Iteration && !m_mapTimes.count(run.run_name.str())))
                m_mapTimes[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const char* szAlarm, int nArg) const
    {
        const std::string strArg = "/" + std::to_string(nArg);
        const auto itParse = m_mapTimes.find("BM_Parse" + strArg);
        const auto itFull = m_mapTimes.find("BM_ParseFromJSON" + strArg);
        if (itParse != m_mapTimes.end() && itFull != m_mapTimes.end() && itParse->second > 0)
            std::printf("%s alarm: parse + FromJSON / parse = %.2fx\n", szAlarm, itFull->second / itParse->second);
    }

private:
    std::map<std::string, double> m_mapTimes;
};

} // namespace

constexpr const char* kDefaultArgs[] = {"--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true",
                                        "--benchmark_report_aggregates_only=true"};

int main(int argc, char** argv)
{
    // The defaults come first, so that flags given on the command line win.
    std::vector<char*> vecArgs{argv[0]};
    for (const char* szArg : kDefaultArgs)
        vecArgs.push_back(const_cast<char*>(szArg));
    vecArgs.insert(vecArgs.end(), argv + 1, argv + argc);
    int nArgs = static_cast<int>(vecArgs.size());
    benchmark::Initialize(&nArgs, vecArgs.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("panoramic", 0);
    reporter.PrintRatio("linkage", 1);
    benchmark::Shutdown();
    return 0;
}
