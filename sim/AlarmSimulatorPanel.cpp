#include "sim/AlarmSimulatorPanel.h"

#include "sim/AlarmSimulator.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace AlarmSim {

namespace {
constexpr int kRefreshMs = 500;
constexpr double kMaxRate = 100;
constexpr int kMaxBurst = 100;
constexpr int kMaxPersons = 1000;
} // namespace

CAlarmSimulatorPanel::CAlarmSimulatorPanel(CAlarmSimulator& simulator, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_simulator(simulator)
{
    setObjectName("AlarmSimulatorPanel");
    setWindowTitle(tr("Alarm simulator"));
    const SimSettings settings = simulator.Settings();

    m_pSpinRate = new QDoubleSpinBox(this);
    m_pSpinRate->setObjectName("m_pSpinRate");
    m_pSpinRate->setRange(0.01, kMaxRate);
    m_pSpinRate->setDecimals(2);
    m_pSpinRate->setSuffix(tr(" /s"));
    m_pSpinRate->setValue(settings.dRate);
    m_pSpinBurst = new QSpinBox(this);
    m_pSpinBurst->setObjectName("m_pSpinBurst");
    m_pSpinBurst->setRange(0, kMaxBurst);
    m_pSpinBurst->setValue(settings.nBurst);
    m_pSpinPersons = new QSpinBox(this);
    m_pSpinPersons->setObjectName("m_pSpinPersons");
    m_pSpinPersons->setRange(0, kMaxPersons);
    m_pSpinPersons->setValue(settings.nPersons);
    m_pComboResolution = new QComboBox(this);
    m_pComboResolution->setObjectName("m_pComboResolution");
    m_pComboResolution->addItem("1920 x 1080", QSize(1920, 1080));
    m_pComboResolution->addItem("3840 x 2160", QSize(3840, 2160));
    m_pComboResolution->setCurrentIndex(settings.sizePicture.width() > 1920 ? 1 : 0);
    m_pBtnRun = new QPushButton(this);
    m_pBtnRun->setObjectName("m_pBtnRun");
    m_pLabelSent = new QLabel(this);
    m_pLabelSent->setObjectName("m_pLabelSent");

    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Linkages"), m_pSpinRate);
    pLayout->addRow(tr("Linkage alarms each"), m_pSpinBurst);
    pLayout->addRow(tr("Persons per alarm"), m_pSpinPersons);
    pLayout->addRow(tr("Pictures"), m_pComboResolution);
    pLayout->addRow(m_pBtnRun, m_pLabelSent);

    connect(m_pSpinRate, &QDoubleSpinBox::editingFinished, this, &CAlarmSimulatorPanel::ApplySettings);
    connect(m_pSpinBurst, &QSpinBox::editingFinished, this, &CAlarmSimulatorPanel::ApplySettings);
    connect(m_pSpinPersons, &QSpinBox::editingFinished, this, &CAlarmSimulatorPanel::ApplySettings);
    connect(m_pComboResolution, QOverload<int>::of(&QComboBox::activated), this, &CAlarmSimulatorPanel::ApplySettings);
    connect(m_pBtnRun, &QPushButton::clicked, this, [this] {
        if (m_simulator.IsRunning())
            m_simulator.Stop();
        else
            m_simulator.Start();
        UpdateState();
    });
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, &CAlarmSimulatorPanel::UpdateState);
    pTimer->start(kRefreshMs);
    UpdateState();
}

void CAlarmSimulatorPanel::ApplySettings()
{
    SimSettings settings;
    settings.dRate = m_pSpinRate->value();
    settings.nBurst = m_pSpinBurst->value();
    settings.nPersons = m_pSpinPersons->value();
    settings.sizePicture = m_pComboResolution->currentData().toSize();
    m_simulator.SetSettings(settings);
}

void CAlarmSimulatorPanel::UpdateState()
{
    m_pBtnRun->setText(m_simulator.IsRunning() ? tr("Pause") : tr("Go on"));
    m_pLabelSent->setText(tr("%n alarm(s) sent", nullptr, int(qMin<quint64>(m_simulator.AlarmsSent(), INT_MAX))));
}

} // namespace AlarmSim
