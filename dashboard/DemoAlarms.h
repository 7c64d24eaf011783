#pragma once

#include <QCommandLineOption>
#include <QObject>

#include <memory>

class QCommandLineParser;

namespace AlarmSim {
class CAlarmReplay;
class CAlarmSimulator;
class CAlarmSimulatorPanel;
} // namespace AlarmSim

// The dashboard's alarm sources: the simulator (on by default) with its panel,
// or a replay file. Options: see AddOptions.
class CDemoAlarms : public QObject
{
    Q_OBJECT
public:
    CDemoAlarms();
    ~CDemoAlarms() override;

    void AddOptions(QCommandLineParser& parser) const;
    // Starts what the options ask for; false (with a message on stderr) when
    // they are wrong or the replay file cannot be read at all.
    bool Start(const QCommandLineParser& parser, bool bShowPanel);
    void Stop();

private:
    QCommandLineOption m_optNoSim{"no-sim", "Raise no simulated alarms."};
    QCommandLineOption m_optSimRate{"sim-rate", "Simulated linkages per second (default 0.5).", "rate", "0.5"};
    QCommandLineOption m_optSimBurst{"sim-burst", "Linkage alarms after each panoramic alarm (default 3).", "count",
                                     "3"};
    QCommandLineOption m_optSimPersons{"sim-persons", "Persons per linkage alarm (default 3).", "count", "3"};
    QCommandLineOption m_optSimResolution{"sim-resolution", "Picture size: 1080p or 4k (default 1080p).", "size",
                                          "1080p"};
    QCommandLineOption m_optNoPanel{"no-sim-panel", "Do not show the simulator's control panel."};
    QCommandLineOption m_optReplay{"replay", "Play the alarms of a JSON-lines file instead of simulating.", "file"};
    QCommandLineOption m_optReplaySpeed{"replay-speed", "Time scale of the replay; 0 sends at once (default 1).",
                                        "factor", "1"};
    QCommandLineOption m_optReplayBurst{"replay-burst", "Deliver the replay's alarms in groups of this size.", "count",
                                        "1"};
    QCommandLineOption m_optReplayDisorder{"replay-disorder",
                                           "Deliver alarms up to this many places late (out of order).", "places", "0"};
    QCommandLineOption m_optReplaySeed{"replay-seed", "Seed of the out-of-order delivery.", "number", "1"};
    QCommandLineOption m_optReplayLoop{"replay-loop", "Play the replay file again and again."};

    std::unique_ptr<AlarmSim::CAlarmSimulator> m_upSimulator;
    std::unique_ptr<AlarmSim::CAlarmSimulatorPanel> m_upPanel;
    std::unique_ptr<AlarmSim::CAlarmReplay> m_upReplay;
};
