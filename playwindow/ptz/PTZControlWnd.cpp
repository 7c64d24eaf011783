#include "playwindow/ptz/PTZControlWnd.h"

#include "common/LsaCheck.h"

#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/ICamera.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct PTZControlWndTexts
{
    static constexpr const char* kNoCamera = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZNoCamera");
    static constexpr const char* kNoPtz = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZNotSupported");
    static constexpr const char* kNoRight = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZNoPermission");
    static constexpr const char* kFisheye = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZFisheyeView");
    static constexpr const char* kReady = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZReady");
    static constexpr const char* kSpeed = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZSpeed");
    static constexpr const char* kHome = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZHome");
    static constexpr const char* kClose = QT_TRANSLATE_NOOP("CPTZControlWnd", "Close");
    // Accessible names and help of the panel and its buttons.
    //: "PTZ control"
    static constexpr const char* kPanel = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZControl");
    //: "Arrow keys turn the camera while held, + and - zoom, Escape closes the panel."
    static constexpr const char* kPanelHelp = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZControlHelp");
    static constexpr const char* kUp = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZUp");
    static constexpr const char* kDown = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZDown");
    static constexpr const char* kLeft = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZLeft");
    static constexpr const char* kRight = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZRight");
    static constexpr const char* kUpLeft = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZUpLeft");
    static constexpr const char* kUpRight = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZUpRight");
    static constexpr const char* kDownLeft = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZDownLeft");
    static constexpr const char* kDownRight = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZDownRight");
    static constexpr const char* kZoomIn = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZZoomIn");
    static constexpr const char* kZoomOut = QT_TRANSLATE_NOOP("CPTZControlWnd", "PTZZoomOut");
};

// The direction pad around the home button, and zoom in and out beside it.
struct PadButton
{
    Vantrel::PtzCommand eCommand;
    const char* szObjectName;
    const char* szGlyph; // UTF-8
    const char* szName;
    int nRow;
    int nColumn;
};
const PadButton kPadButtons[] = {
    {Vantrel::PtzUpLeft, "m_pBtnUpLeft", "\u2196", PTZControlWndTexts::kUpLeft, 0, 0},
    {Vantrel::PtzTiltUp, "m_pBtnUp", "\u25B2", PTZControlWndTexts::kUp, 0, 1},
    {Vantrel::PtzUpRight, "m_pBtnUpRight", "\u2197", PTZControlWndTexts::kUpRight, 0, 2},
    {Vantrel::PtzPanLeft, "m_pBtnLeft", "\u25C0", PTZControlWndTexts::kLeft, 1, 0},
    {Vantrel::PtzPanRight, "m_pBtnRight", "\u25B6", PTZControlWndTexts::kRight, 1, 2},
    {Vantrel::PtzDownLeft, "m_pBtnDownLeft", "\u2199", PTZControlWndTexts::kDownLeft, 2, 0},
    {Vantrel::PtzTiltDown, "m_pBtnDown", "\u25BC", PTZControlWndTexts::kDown, 2, 1},
    {Vantrel::PtzDownRight, "m_pBtnDownRight", "\u2198", PTZControlWndTexts::kDownRight, 2, 2},
    {Vantrel::PtzZoomIn, "m_pBtnZoomIn", "+", PTZControlWndTexts::kZoomIn, 0, 3},
    {Vantrel::PtzZoomOut, "m_pBtnZoomOut", "\u2212", PTZControlWndTexts::kZoomOut, 2, 3},
};

QString Tr(const char* pszKey)
{
    return QCoreApplication::translate("CPTZControlWnd", pszKey);
}

constexpr int kDefaultSpeed = 4;
constexpr int kGap = 4;
constexpr int kButtonSize = 30;
constexpr int kAreaModes[] = {3, 4, 7, 8};

Vantrel::CPtzControl& Ptz()
{
    return TesselGUIToolkit::CUiSingleton<Vantrel::CPtzControl>::Instance();
}

} // namespace

CPTZControlWnd::CPTZControlWnd(QWidget* pParent, bool bFloating, bool bCompact, bool bPtzPart)
    : CPTZControlWnd(pParent, bFloating, bCompact, bPtzPart, Form::Now)
{
}

CPTZControlWnd::CPTZControlWnd(QWidget* pParent, bool bFloating, bool bCompact, bool bPtzPart, Form eForm)
    : QFrame(pParent, bFloating ? Qt::Tool : Qt::Widget)
    , m_bCompact(bCompact)
    , m_bPtzPart(bPtzPart)
{
    setObjectName("m_pPTZControlWnd");
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(Tr(PTZControlWndTexts::kPanel));
    setAccessibleDescription(Tr(PTZControlWndTexts::kPanelHelp));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    if (eForm == Form::Now)
        EnsureForm();
}

void CPTZControlWnd::EnsureForm()
{
    if (m_bFormBuilt)
        return;
    m_bFormBuilt = true;
    BuildForm();
    UpdateLook();
    SetMouseModeState(m_nMouseMode);
}

void CPTZControlWnd::setVisible(bool bVisible)
{
    if (bVisible)
        EnsureForm();
    QFrame::setVisible(bVisible);
}

CPTZControlWnd::~CPTZControlWnd()
{
    StopMotion();
}

QToolButton* CPTZControlWnd::AddCommandButton(Vantrel::PtzCommand eCommand, const char* pszObjectName,
                                              const QString& strGlyph, const char* pszName)
{
    auto* pButton = new QToolButton(this);
    pButton->setObjectName(pszObjectName);
    pButton->setText(strGlyph);
    pButton->setAccessibleName(Tr(pszName));
    pButton->setFixedSize(kButtonSize, kButtonSize);
    pButton->setFocusPolicy(Qt::NoFocus);
    // A held button moves the camera; releasing it stops the move.
    connect(pButton, &QToolButton::pressed, this, [this, eCommand] { SendCommand(eCommand, false); });
    connect(pButton, &QToolButton::released, this, [this, eCommand] { SendCommand(eCommand, true); });
    m_mapCommandButtons.insert(eCommand, pButton);
    return pButton;
}

void CPTZControlWnd::BuildForm()
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(6, 6, 6, 6);
    pLayout->setSpacing(4);

    auto* pHeader = new QHBoxLayout;
    m_pLabelCamera = new QLabel(this);
    m_pLabelCamera->setObjectName("m_pLabelCamera");
    m_pLabelCamera->setTextFormat(Qt::PlainText);
    m_pBtnClose = new QToolButton(this);
    m_pBtnClose->setObjectName("m_pBtnClose");
    m_pBtnClose->setText(QStringLiteral("\u2715"));
    m_pBtnClose->setToolTip(Tr(PTZControlWndTexts::kClose));
    m_pBtnClose->setAccessibleName(m_pBtnClose->toolTip());
    connect(m_pBtnClose, &QToolButton::clicked, this, &CPTZControlWnd::ClosePanel);
    pHeader->addWidget(m_pLabelCamera, 1);
    pHeader->addWidget(m_pBtnClose);
    pLayout->addLayout(pHeader);

    auto* pPad = new QGridLayout;
    pPad->setSpacing(2);
    for (const PadButton& button : kPadButtons)
        pPad->addWidget(
            AddCommandButton(button.eCommand, button.szObjectName, QString::fromUtf8(button.szGlyph), button.szName),
            button.nRow, button.nColumn);
    m_pBtnHome = new QToolButton(this);
    m_pBtnHome->setObjectName("m_pBtnHome");
    m_pBtnHome->setText(QStringLiteral("\u25CE"));
    m_pBtnHome->setToolTip(Tr(PTZControlWndTexts::kHome));
    m_pBtnHome->setAccessibleName(m_pBtnHome->toolTip());
    m_pBtnHome->setFixedSize(kButtonSize, kButtonSize);
    m_pBtnHome->setFocusPolicy(Qt::NoFocus);
    connect(m_pBtnHome, &QToolButton::clicked, this, [this] {
        if (m_bControlsEnabled && m_bPtzPart)
            Ptz().GoHome(m_pCamera);
    });
    pPad->addWidget(m_pBtnHome, 1, 1);
    pLayout->addLayout(pPad);

    m_pSliderSpeed = new QSlider(Qt::Horizontal, this);
    m_pSliderSpeed->setObjectName("m_pSliderSpeed");
    m_pSliderSpeed->setRange(Vantrel::CPtzControl::kMinSpeed, Vantrel::CPtzControl::kMaxSpeed);
    m_pSliderSpeed->setValue(kDefaultSpeed);
    m_pSliderSpeed->setToolTip(Tr(PTZControlWndTexts::kSpeed));
    m_pSliderSpeed->setAccessibleName(m_pSliderSpeed->toolTip());
    m_pSliderSpeed->setVisible(!m_bCompact);
    pLayout->addWidget(m_pSliderSpeed);

    // Indicators of the window's area mouse modes; they follow the window, not the user.
    auto* pModes = new QHBoxLayout;
    for (int nMode : kAreaModes) {
        auto* pIndicator = new QToolButton(this);
        pIndicator->setObjectName(QStringLiteral("m_pModeIndicator%1").arg(nMode));
        pIndicator->setCheckable(true);
        pIndicator->setAttribute(Qt::WA_TransparentForMouseEvents);
        pIndicator->setFocusPolicy(Qt::NoFocus);
        pIndicator->setText(QString::number(nMode));
        pIndicator->hide(); // our windows offer none of these modes
        m_mapModeIndicators.insert(nMode, pIndicator);
        pModes->addWidget(pIndicator);
    }
    pLayout->addLayout(pModes);

    m_pLabelState = new QLabel(this);
    m_pLabelState->setObjectName("m_pLabelState");
    m_pLabelState->setWordWrap(true);
    pLayout->addWidget(m_pLabelState);
}

void CPTZControlWnd::SetCamera(tessel::ICamera* pCamera, const std::string& strGuid)
{
    if (pCamera != m_pCamera || strGuid != m_strGuid)
        StopMotion();
    m_pCamera = pCamera;
    m_strGuid = pCamera ? strGuid : std::string();
    if (!pCamera)
        m_bControlsEnabled = false;
    UpdateLook();
}

void CPTZControlWnd::SetControlsEnabled(bool bEnabled)
{
    if (!bEnabled)
        StopMotion();
    m_bControlsEnabled = bEnabled && m_pCamera;
    UpdateLook();
}

void CPTZControlWnd::SetPtzPartEnabled(bool bEnabled)
{
    if (!bEnabled)
        StopMotion();
    m_bPtzPart = bEnabled;
    UpdateLook();
}

void CPTZControlWnd::SetFisheyeMode(bool bFisheye)
{
    m_bFisheye = bFisheye;
    UpdateLook();
}

void CPTZControlWnd::SetMouseModeState(int nMouseMode)
{
    m_nMouseMode = m_bControlsEnabled ? nMouseMode : 0;
    for (auto it = m_mapModeIndicators.cbegin(); it != m_mapModeIndicators.cend(); ++it)
        it.value()->setChecked(it.key() == m_nMouseMode);
}

int CPTZControlWnd::Speed() const
{
    return m_pSliderSpeed ? m_pSliderSpeed->value() : kDefaultSpeed;
}

void CPTZControlWnd::UpdateLook()
{
    const bool bCanTurn = m_pCamera && m_pCamera->HasPTZ();
    const bool bActive = m_bControlsEnabled && m_bPtzPart && bCanTurn && !m_bFisheye;
    if (!bActive)
        SetMouseModeState(0);
    if (!m_bFormBuilt)
        return;
    for (QToolButton* pButton : m_mapCommandButtons)
        pButton->setEnabled(bActive);
    m_pBtnHome->setEnabled(bActive);
    m_pSliderSpeed->setEnabled(bActive);
    m_pLabelCamera->setText(m_pCamera ? QString::fromStdString(m_pCamera->GetElementName()) : QString());
    const char* pszState = PTZControlWndTexts::kReady;
    if (!m_pCamera)
        pszState = PTZControlWndTexts::kNoCamera;
    else if (!bCanTurn || !m_bPtzPart)
        pszState = PTZControlWndTexts::kNoPtz;
    else if (!m_bControlsEnabled)
        pszState = PTZControlWndTexts::kNoRight;
    else if (m_bFisheye)
        pszState = PTZControlWndTexts::kFisheye;
    m_pLabelState->setText(Tr(pszState));
    m_pLabelState->setProperty("ptzState", QString::fromLatin1(pszState));
}

void CPTZControlWnd::SendCommand(Vantrel::PtzCommand eCommand, bool bStop)
{
    // A release still stops a move that a revoked right or a new camera left behind.
    if (!bStop && !(m_bControlsEnabled && m_bPtzPart && !m_bFisheye))
        return;
    Ptz().PtzControl(m_pCamera, eCommand, bStop, Speed());
}

void CPTZControlWnd::StopMotion()
{
    if (!m_strGuid.empty())
        Ptz().StopAll(m_strGuid);
}

namespace {
bool CommandOfKey(int nKey, Vantrel::PtzCommand& eCommand)
{
    switch (nKey) {
    case Qt::Key_Up:
        eCommand = Vantrel::PtzTiltUp;
        return true;
    case Qt::Key_Down:
        eCommand = Vantrel::PtzTiltDown;
        return true;
    case Qt::Key_Left:
        eCommand = Vantrel::PtzPanLeft;
        return true;
    case Qt::Key_Right:
        eCommand = Vantrel::PtzPanRight;
        return true;
    case Qt::Key_Plus:
        eCommand = Vantrel::PtzZoomIn;
        return true;
    case Qt::Key_Minus:
        eCommand = Vantrel::PtzZoomOut;
        return true;
    default:
        return false;
    }
}
} // namespace

bool CPTZControlWnd::HandleKey(QKeyEvent* pEvent, bool bStop)
{
    Vantrel::PtzCommand eCommand;
    if (!CommandOfKey(pEvent->key(), eCommand))
        return false;
    // A held key repeats; only its first press and its release count.
    if (!pEvent->isAutoRepeat())
        SendCommand(eCommand, bStop);
    pEvent->accept();
    return true;
}

void CPTZControlWnd::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Escape && pEvent->modifiers() == Qt::NoModifier) {
        ClosePanel();
        return;
    }
    if (!HandleKey(pEvent, false))
        QFrame::keyPressEvent(pEvent);
}

void CPTZControlWnd::ClosePanel()
{
    hide();
    emit SignalPanelClosed();
}

void CPTZControlWnd::keyReleaseEvent(QKeyEvent* pEvent)
{
    if (!HandleKey(pEvent, true))
        QFrame::keyReleaseEvent(pEvent);
}

void CPTZControlWnd::hideEvent(QHideEvent* pEvent)
{
    // A hidden panel never leaves a camera turning.
    StopMotion();
    // The keyboard goes back to the window the panel served.
    QWidget* pFocus = QApplication::focusWidget();
    if (m_pShownBeside && pFocus && (pFocus == this || isAncestorOf(pFocus)))
        m_pShownBeside->setFocus(Qt::OtherFocusReason);
    QFrame::hideEvent(pEvent);
    m_pShownBeside = nullptr;
    emit SignalPanelHidden();
}

void CPTZControlWnd::ShowBeside(QWidget* pWindow)
{
    LSA_CHECK(pWindow) return;
    EnsureForm();
    // Over native video windows only a native window stays visible.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        setAttribute(Qt::WA_NativeWindow);
    adjustSize();
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    QRect rcArea;
    QRect rcWindow;
    if (isWindow()) {
        rcWindow = QRect(pWindow->mapToGlobal(QPoint(0, 0)), pWindow->size());
        rcArea = QRect(QPoint(0, 0), QSize(1 << 20, 1 << 20));
    } else if (QWidget* pParent = parentWidget()) {
        rcWindow = QRect(pWindow->mapTo(pParent, QPoint(0, 0)), pWindow->size());
        rcArea = pParent->rect();
    } else {
        return;
    }
    QPoint ptPos(rcWindow.right() + kGap, rcWindow.top());
    if (ptPos.x() + size.width() > rcArea.right())
        ptPos.setX(rcWindow.left() - kGap - size.width());
    if (ptPos.x() < rcArea.left())
        ptPos.setX(qMax(rcArea.left(), rcWindow.right() - size.width()));
    ptPos.setY(qBound(rcArea.top(), ptPos.y(), qMax(rcArea.top(), rcArea.bottom() - size.height())));
    resize(size);
    move(ptPos);
    show();
    raise();
    m_pShownBeside = pWindow;
}
