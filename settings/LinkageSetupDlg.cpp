#include "settings/LinkageSetupDlg.h"

#include "ui_LinkageSetupDlgForm.h"

#include "settings/LinkageSetupStore.h"
#include "settings/SettingsTexts.h"

#include "history/AlarmHistory.h"
#include "history/HistoryPanel.h"

#include "common/FreeSpace.h"
#include "common/LinkageRules.h"
#include "common/LsaCheck.h"

#include "Fendra/Singleton.h"
#include "Miravel/InformationMgr.h"
#include "Ostrel/UserDataPath.h"
#include "TesselGUIToolkit/LineEdit.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTemporaryFile>
#include <QTimer>

#include <utility>

namespace LinkageSnapAlarm {
namespace {

void MakeBold(QWidget* pWidget)
{
    QFont font = pWidget->font();
    font.setBold(true);
    pWidget->setFont(font);
}

// A failing query does not count as too little space.
bool HasTooLittleSpace(const QString& strFolder)
{
    return FreeSpace::CheckFreeSpace(strFolder) == FreeSpace::SpaceCheck::NotEnough;
}

bool CanWriteIn(const QString& strFolder)
{
    QFile probe(strFolder + QStringLiteral("/testRight.txt"));
    if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        probe.close();
        return probe.remove();
    }
    if (!probe.exists())
        return false;
    // A file of that name is the user's own: probe with a fresh name instead.
    QTemporaryFile tmpProbe(strFolder + QStringLiteral("/testRight-XXXXXX.txt"));
    return tmpProbe.open();
}

// The history button keeps this far left of the close button.
constexpr int kHistoryButtonGap = 8;

} // namespace

CLinkageSetupDlg::CLinkageSetupDlg(QWidget* pParent)
    : CLinkageSetupDlg(pParent, Form::Now)
{
}

CLinkageSetupDlg::CLinkageSetupDlg(QWidget* pParent, Form eForm)
    : QDialog(pParent)
    , ui(std::make_unique<Ui::LinkageSetupDlg>())
{
    // The form's own name, for the style sheet and finders before the form exists.
    setObjectName(QStringLiteral("LinkageSetupDlg"));
    m_stSetupInfo = LinkageSetupInfo{false, QString(), kPreviewModeDual};
    m_bSaveFailed = false;
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowModal);
    m_pRetryTimer = new QTimer(this);
    m_pRetryTimer->setInterval(kLoadRetryMs);
    connect(m_pRetryTimer, &QTimer::timeout, this, &CLinkageSetupDlg::onRetryLoad);
    m_bLoadPending = !LoadSetup();
    if (!m_bLoadPending)
        LoadHistoryBounds(); // a locked file costs the GUI thread one wait, not two
    if (m_bLoadPending) {
        // Until then the view runs with what it has; the user is told once.
        NotifyWhenShown(SetupDlgTexts::Text(SetupDlgTexts::SettingsNotAvailableYet));
        m_pRetryTimer->start();
    }
    if (eForm == Form::Now)
        EnsureForm();
}

void CLinkageSetupDlg::EnsureForm()
{
    if (m_bFormBuilt)
        return;
    m_bFormBuilt = true;
    ui->setupUi(this);
    MakeBold(ui->m_pLabelSetup);
    MakeBold(ui->m_pBtnSave);
    MakeBold(ui->m_pBtnCancel);
    ui->m_pEditSavePath->setReadOnly(true);
    ShowSetup();
    MakeConnections();
    ui->m_pBtnClose->setToolTip(SetupDlgTexts::Text(SetupDlgTexts::Close));
    InitAccessibility();
    AddHistoryButton();
}

void CLinkageSetupDlg::setVisible(bool bVisible)
{
    if (bVisible)
        EnsureForm();
    QDialog::setVisible(bVisible);
}

void CLinkageSetupDlg::InitAccessibility()
{
    setAccessibleName(SetupDlgTexts::Text(SetupDlgTexts::SetupDialog));
    ui->m_pBtnClose->setAccessibleName(SetupDlgTexts::Text(SetupDlgTexts::Close));
    ui->m_pCheckSavePic->setAccessibleName(SetupDlgTexts::Text(SetupDlgTexts::SavePictureSwitch));
    ui->m_pEditSavePath->setAccessibleName(SetupDlgTexts::Text(SetupDlgTexts::SaveFolderField));
    ui->m_pEditSavePath->setAccessibleDescription(SetupDlgTexts::Text(SetupDlgTexts::SaveFolderFieldHelp));
    // The folder field opens its chooser from the keyboard too.
    ui->m_pEditSavePath->installEventFilter(this);
}

CLinkageSetupDlg::~CLinkageSetupDlg() = default;

void CLinkageSetupDlg::GetSetupInfo(LinkageSetupInfo& info) const
{
    info = m_stSetupInfo;
}

void CLinkageSetupDlg::SetFolderChooser(FolderChooser fnChooser)
{
    m_fnFolderChooser = std::move(fnChooser);
}

void CLinkageSetupDlg::MakeConnections()
{
    connect(ui->m_pCheckSavePic, SIGNAL(stateChanged(int)), this, SLOT(onCheckSavePicChange()));
    connect(ui->m_pEditSavePath, SIGNAL(SignalCursorPosition(int)), this, SLOT(onPicPathClicked()));
    connect(ui->m_pBtnClose, SIGNAL(clicked()), this, SLOT(onBtnCloseClicked()));
    connect(ui->m_pBtnSave, SIGNAL(clicked()), this, SLOT(onBtnSaveClicked()));
    connect(ui->m_pBtnCancel, SIGNAL(clicked()), this, SLOT(onBtnCancelClicked()));
    connect(ui->buttonGroup, SIGNAL(buttonClicked(QAbstractButton*)), this, SLOT(onPreviewClicked()));
}

bool CLinkageSetupDlg::LoadSetup()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    LSA_CHECK(pStore) return false;
    // One query: a lock by another process costs the GUI thread one short wait.
    const CLinkageSetupStore::ReadResult eRead = pStore->ReadSetup(m_stSetupInfo);
    TellRecovery(); // the query itself may have found the damage
    if (eRead == CLinkageSetupStore::ReadResult::Empty) {
        // First start: a default folder in the component folder, saving off.
        m_stSetupInfo.IsSavePicture = false;
        m_stSetupInfo.SavePicPath =
            QFile::decodeName(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath().c_str())
            + QStringLiteral("LinkageAlarm");
        QDir().mkpath(m_stSetupInfo.SavePicPath);
        return true;
    }
    if (eRead == CLinkageSetupStore::ReadResult::Loaded)
        return true;
    // Locked by another process, say: keep what was read last (saving stays as
    // it was) and read again soon.
    pStore->LastLoadedSetup(m_stSetupInfo);
    return false;
}

void CLinkageSetupDlg::TellRecovery()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    if (pStore && pStore->TakeRecoveryNotice())
        NotifyWhenShown(SetupDlgTexts::Text(SetupDlgTexts::SettingsDatabaseDamaged));
}

void CLinkageSetupDlg::LoadHistoryBounds()
{
    if (CLinkageSetupStore* pStore = CLinkageSetupStore::Instance())
        pStore->ReadHistoryBounds(m_stHistoryBounds);
}

void CLinkageSetupDlg::SetAlarmHistory(CAlarmHistory* pHistory)
{
    m_pHistory = pHistory;
    AddHistoryButton();
}

void CLinkageSetupDlg::AddHistoryButton()
{
    if (!m_bFormBuilt || !m_pHistory || m_pBtnHistory)
        return;
    // Beside the form, not in it: the form's widgets stay as the style sheet knows them.
    m_pBtnHistory = new QPushButton(SetupDlgTexts::Text(SetupDlgTexts::AlarmHistory), this);
    m_pBtnHistory->setObjectName(QStringLiteral("m_pBtnHistory"));
    m_pBtnHistory->setToolTip(SetupDlgTexts::Text(SetupDlgTexts::AlarmHistory) + QStringLiteral(" (Ctrl+H)"));
    connect(m_pBtnHistory, &QPushButton::clicked, this, &CLinkageSetupDlg::onBtnHistoryClicked);
    auto* pShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(pShortcut, &QShortcut::activated, this, &CLinkageSetupDlg::onBtnHistoryClicked);
    PlaceHistoryButton();
}

void CLinkageSetupDlg::PlaceHistoryButton()
{
    if (!m_pBtnHistory)
        return;
    const QPoint ptClose = ui->m_pBtnClose->mapTo(this, QPoint(0, 0));
    const QSize size = m_pBtnHistory->sizeHint();
    m_pBtnHistory->setGeometry(ptClose.x() - kHistoryButtonGap - size.width(),
                               ptClose.y() + (ui->m_pBtnClose->height() - size.height()) / 2, size.width(),
                               size.height());
    m_pBtnHistory->raise();
}

void CLinkageSetupDlg::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    PlaceHistoryButton();
}

void CLinkageSetupDlg::onBtnHistoryClicked()
{
    if (!m_pHistory)
        return;
    if (!m_pHistoryPanel) {
        // A window of the linkage view, so that it stays usable when this modal
        // dialog is closed.
        m_pHistoryPanel = new CHistoryPanel(m_pHistory, parentWidget() ? parentWidget() : this);
        m_pHistoryPanel->setObjectName(QStringLiteral("m_pHistoryPanel"));
        m_pHistoryPanel->setWindowFlag(Qt::Window);
        connect(m_pHistoryPanel, &CHistoryPanel::signalBoundsEdited, this, &CLinkageSetupDlg::onHistoryBoundsEdited);
        if (QWidget* pView = m_pHistoryPanel->parentWidget()) {
            QRect rcPanel(QPoint(0, 0), m_pHistoryPanel->size().boundedTo(pView->size()));
            rcPanel.moveCenter(pView->mapToGlobal(pView->rect().center()));
            m_pHistoryPanel->setGeometry(rcPanel);
        }
    }
    reject();
    m_pHistoryPanel->show();
    m_pHistoryPanel->raise();
    m_pHistoryPanel->activateWindow();
}

void CLinkageSetupDlg::onHistoryBoundsEdited(const HistoryBounds& bounds)
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    const bool bSaved = pStore && pStore->SaveHistoryBounds(bounds);
    TellRecovery();
    if (!bSaved) {
        Notify(SetupDlgTexts::Text(SetupDlgTexts::SaveFailed), m_pHistoryPanel);
        if (m_pHistoryPanel)
            m_pHistoryPanel->ShowBounds(m_stHistoryBounds);
        return;
    }
    m_stHistoryBounds = bounds.Clamped();
    if (m_pHistory)
        m_pHistory->SetBounds(m_stHistoryBounds);
}

void CLinkageSetupDlg::onRetryLoad()
{
    if (m_bLoadPending && LoadSetup()) {
        m_bLoadPending = false;
        LoadHistoryBounds();
        if (m_pHistory)
            m_pHistory->SetBounds(m_stHistoryBounds);
        ShowSetup();
        emit signalSaved(true); // the view takes the settings it could not read before
    }
    if (!m_bLoadPending)
        m_pRetryTimer->stop();
}

void CLinkageSetupDlg::showEvent(QShowEvent* pEvent)
{
    onRetryLoad();
    QDialog::showEvent(pEvent);
    PlaceHistoryButton();
}

void CLinkageSetupDlg::NotifyWhenShown(const QString& strText)
{
    QWidget* pView = parentWidget();
    if (!pView || pView->isVisible()) {
        Notify(strText, pView);
        return;
    }
    if (m_lstPendingNotices.isEmpty())
        pView->installEventFilter(this);
    if (!m_lstPendingNotices.contains(strText))
        m_lstPendingNotices << strText;
}

bool CLinkageSetupDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == ui->m_pEditSavePath && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter || nKey == Qt::Key_Space) {
            onPicPathClicked();
            return true;
        }
    }
    if (pWatched == parentWidget() && pEvent->type() == QEvent::Show) {
        pWatched->removeEventFilter(this);
        const QStringList lstNotices = std::exchange(m_lstPendingNotices, {});
        for (const QString& strText : lstNotices)
            Notify(strText, parentWidget());
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CLinkageSetupDlg::ShowSetup()
{
    if (!m_bFormBuilt)
        return;
    ui->m_pCheckSavePic->setChecked(m_stSetupInfo.IsSavePicture);
    ui->m_pEditSavePath->setText(m_stSetupInfo.SavePicPath);
    ui->m_pEditSavePath->setEnabled(m_stSetupInfo.IsSavePicture);
    if (m_stSetupInfo.PreviewMode == kPreviewModeDual)
        ui->radio2View->setChecked(true);
    else
        ui->radio3View->setChecked(true);
    ui->m_pWidgetPreview3->setVisible(ui->radio3View->isChecked());
}

void CLinkageSetupDlg::onCheckSavePicChange()
{
    EnsureForm();
    ui->m_pEditSavePath->setEnabled(ui->m_pCheckSavePic->isChecked());
}

void CLinkageSetupDlg::onPreviewClicked()
{
    EnsureForm();
    ui->m_pWidgetPreview3->setVisible(ui->radio3View->isChecked());
}

void CLinkageSetupDlg::onPicPathClicked()
{
    EnsureForm();
    const QString strTitle = SetupDlgTexts::Text(SetupDlgTexts::ExportPicture);
    const QString strStart = ui->m_pEditSavePath->text();
    const QString strChosen =
        m_fnFolderChooser ? m_fnFolderChooser(this, strTitle, strStart)
                          : QFileDialog::getExistingDirectory(
                              this, strTitle, strStart, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!strChosen.isEmpty() && AcceptFolder(strChosen))
        ui->m_pEditSavePath->setText(strChosen);
}

bool CLinkageSetupDlg::AcceptFolder(const QString& strFolder)
{
    if (HasTooLittleSpace(strFolder)) {
        Notify(SetupDlgTexts::Text(SetupDlgTexts::NoEnoughFreeSpace), this);
        return false;
    }
    if (!CanWriteIn(strFolder)) {
        Notify(SetupDlgTexts::Text(SetupDlgTexts::NoAccessToThisFolder), this);
        return false;
    }
    return true;
}

void CLinkageSetupDlg::onBtnSaveClicked()
{
    EnsureForm();
    m_stSetupInfo.IsSavePicture = ui->m_pCheckSavePic->isChecked();
    m_stSetupInfo.SavePicPath = ui->m_pEditSavePath->text();
    m_stSetupInfo.PreviewMode = ui->radio2View->isChecked() ? kPreviewModeDual : kPreviewModeTriple;
    m_bSaveFailed = false;
    if (!QDir(m_stSetupInfo.SavePicPath).exists()) {
        // Recreated, but the user is told: pictures may have gone missing with it.
        QDir().mkpath(m_stSetupInfo.SavePicPath);
        m_bSaveFailed = true;
    }
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    if (!pStore || !pStore->SaveSetup(m_stSetupInfo))
        m_bSaveFailed = true;
    TellRecovery(); // saving may have found the damage (and saved into a fresh file)
    if (m_bSaveFailed) {
        Notify(SetupDlgTexts::Text(SetupDlgTexts::SaveFailed), this);
        return;
    }
    // What was saved is what counts now: no later read may replace it.
    m_bLoadPending = false;
    m_pRetryTimer->stop();
    Notify(SetupDlgTexts::Text(SetupDlgTexts::Saved), parentWidget());
    emit signalSaved(true);
    accept();
}

void CLinkageSetupDlg::onBtnCloseClicked()
{
    reject();
}

void CLinkageSetupDlg::onBtnCancelClicked()
{
    reject();
}

void CLinkageSetupDlg::reject()
{
    ShowSetup();
    QDialog::reject();
}

void CLinkageSetupDlg::Notify(const QString& strText, QWidget* pParent)
{
    TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
        strText, pParent, false, false, false);
}

} // namespace LinkageSnapAlarm
