#pragma once

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace AlarmSim {

class CAlarmSimulator;

// A small tool window to steer the alarm simulator: rate, burst size, persons
// per alarm, picture size, and pause or go on.
class CAlarmSimulatorPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CAlarmSimulatorPanel(CAlarmSimulator& simulator, QWidget* parent = nullptr);

private:
    void ApplySettings();
    void UpdateState();

    CAlarmSimulator& m_simulator;
    QDoubleSpinBox* m_pSpinRate = nullptr;
    QSpinBox* m_pSpinBurst = nullptr;
    QSpinBox* m_pSpinPersons = nullptr;
    QComboBox* m_pComboResolution = nullptr;
    QPushButton* m_pBtnRun = nullptr;
    QLabel* m_pLabelSent = nullptr;
};

} // namespace AlarmSim
