#include "LinkageSetupDlg.h"

#include "LinkageSetupStore.h"

#include "LinkageRules.h"
#include "PictureFile.h"

#include "Fendra/Singleton.h"
#include "Miravel/InformationMgr.h"
#include "Ostrel/UserDataPath.h"
#include "TesselGUIToolkit/LineEdit.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace LinkageSnapAlarm {
namespace {

QString FormText(const char* szKey)
{
    return QCoreApplication::translate("LinkageSetupDlg", szKey);
}

template <class T>
T* Named(T* pObject, const char* szName)
{
    pObject->setObjectName(QLatin1String(szName));
    return pObject;
}

void MakeBold(QWidget* pWidget)
{
    QFont font = pWidget->font();
    font.setBold(true);
    pWidget->setFont(font);
}

// A failing query does not count as too little space.
bool HasTooLittleSpace(const QString& strFolder)
{
    return PictureFile::CheckFreeSpace(strFolder) == PictureFile::SpaceCheck::NotEnough;
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

} // namespace

CLinkageSetupDlg::CLinkageSetupDlg(QWidget* pParent)
    : QDialog(pParent)
{
    SetupForm();
    m_stSetupInfo = LinkageSetupInfo{false, QString(), kPreviewModeDual};
    m_bSaveFailed = false;
    MakeBold(m_pLabelSetup);
    MakeBold(m_pBtnSave);
    MakeBold(m_pBtnCancel);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowModal);
    m_pEditSavePath->setReadOnly(true);
    m_bLoadPending = !LoadSetup();
    ShowSetup();
    MakeConnections();
    m_pBtnClose->setToolTip(tr("Close"));
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

void CLinkageSetupDlg::SetupForm()
{
    setObjectName(QStringLiteral("LinkageSetupDlg"));
    setWindowTitle(QStringLiteral("LinkageSetupDlg"));
    resize(890, 625);
    m_pWidgetSetup = Named(new QWidget(this), "m_pWidgetSetup");
    auto* pOuter = Named(new QGridLayout(this), "gridLayout_3");
    pOuter->setContentsMargins(0, 0, 0, 0);
    pOuter->addWidget(m_pWidgetSetup, 0, 0);

    auto* pGrid = Named(new QGridLayout(m_pWidgetSetup), "gridLayout_2");
    pGrid->setSpacing(0);
    pGrid->setContentsMargins(0, 0, 0, 0);
    pGrid->addWidget(CreateTopBar(), 0, 0, 1, 4);
    QLabel* pLabelViewMode = CreateRowLabel("m_pLabelViewMode", "CammeraLiveViewMode");
    pLabelViewMode->setMinimumSize(72, 21);
    pGrid->addWidget(pLabelViewMode, 1, 0);
    pGrid->addWidget(CreateModeRow(), 1, 1, 1, 2);
    pGrid->addLayout(CreateDisplayLabel(), 2, 0);
    pGrid->addWidget(CreateDisplayWidget(), 2, 2);
    pGrid->addItem(new QSpacerItem(316, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 3);
    pGrid->addWidget(CreateRowLabel("m_pLabelSavePic", "SavePicture"), 4, 0);
    pGrid->addLayout(CreateSaveRow(), 4, 2);
    pGrid->addWidget(CreateRowLabel("m_pLabelSavePath", "CapturePath"), 6, 0);
    pGrid->addLayout(CreatePathRow(), 6, 2);
    pGrid->addLayout(CreateButtonRow(), 8, 2);
    for (int nRow : {3, 5, 7, 9})
        pGrid->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding), nRow, 0);
    SetStretches(pGrid);
}

void CLinkageSetupDlg::SetStretches(QGridLayout* pGrid)
{
    const int arrRows[] = {16, 76, 300, 16, 32, 10, 32, 40, 32, 86};
    for (int i = 0; i < 10; ++i)
        pGrid->setRowStretch(i, arrRows[i]);
    const int arrColumns[] = {150, 15, 552, 163};
    for (int i = 0; i < 4; ++i)
        pGrid->setColumnStretch(i, arrColumns[i]);
}

QWidget* CLinkageSetupDlg::CreateTopBar()
{
    auto* pTop = Named(new QWidget(m_pWidgetSetup), "m_pWidgetTop");
    pTop->setMinimumHeight(100);
    auto* pText = Named(new QWidget(pTop), "m_pWidgetText");
    m_pLabelSetup = Named(new QLabel(FormText("Set"), pText), "m_pLabelSetup");
    auto* pClose = Named(new QWidget(pTop), "m_pWidgetClose");
    m_pBtnClose = Named(new QPushButton(pClose), "m_pBtnClose");
    m_pBtnClose->setFixedSize(24, 24);

    auto* pTextLayout = Named(new QHBoxLayout(pText), "horizontalLayout_6");
    pTextLayout->addWidget(m_pLabelSetup);
    auto* pCloseLayout = Named(new QHBoxLayout(pClose), "horizontalLayout_7");
    pCloseLayout->addWidget(m_pBtnClose);
    auto* pTopLayout = Named(new QGridLayout(pTop), "gridLayout_6");
    pTopLayout->setContentsMargins(24, 0, 0, 0);
    pTopLayout->addWidget(pText, 0, 0);
    pTopLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 1);
    pTopLayout->addWidget(pClose, 0, 2);
    return pTop;
}

QWidget* CLinkageSetupDlg::CreateModeRow()
{
    auto* pRow = Named(new QWidget(m_pWidgetSetup), "widget_16");
    m_pRadio2View = Named(new QRadioButton(FormText("DualChannels"), pRow), "radio2View");
    QFont font = m_pRadio2View->font();
    font.setFamily(QStringLiteral("Microsoft YaHei"));
    m_pRadio2View->setFont(font);
    m_pRadio2View->setChecked(true);
    m_pRadio3View = Named(new QRadioButton(FormText("Three-channel"), pRow), "radio3View");
    m_pButtonGroup = Named(new QButtonGroup(this), "buttonGroup");
    m_pButtonGroup->setExclusive(true);
    m_pButtonGroup->addButton(m_pRadio2View);
    m_pButtonGroup->addButton(m_pRadio3View);

    auto* pLayout = Named(new QHBoxLayout(pRow), "horizontalLayout_12");
    pLayout->setSpacing(20);
    pLayout->setContentsMargins(30, 0, 0, 0);
    pLayout->addWidget(m_pRadio2View);
    pLayout->addWidget(m_pRadio3View);
    pLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    return pRow;
}

QLabel* CLinkageSetupDlg::CreateRowLabel(const char* szName, const char* szKey)
{
    auto* pLabel = Named(new QLabel(FormText(szKey), m_pWidgetSetup), szName);
    pLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return pLabel;
}

QLayout* CLinkageSetupDlg::CreateDisplayLabel()
{
    auto* pLabel = CreateRowLabel("m_pLabelDisplay", "DisplayContent");
    auto* pLayout = Named(new QVBoxLayout(), "verticalLayout");
    pLayout->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));
    pLayout->addWidget(pLabel);
    pLayout->addItem(new QSpacerItem(20, 270, QSizePolicy::Minimum, QSizePolicy::Expanding));
    pLayout->setStretch(0, 10);
    pLayout->setStretch(1, 20);
    pLayout->setStretch(2, 270);
    return pLayout;
}

QWidget* CLinkageSetupDlg::CreatePreviewCell(const char* szWidgetName, const char* szLabelName, const char* szKey)
{
    auto* pCell = Named(new QWidget(), szWidgetName);
    auto* pLabel = Named(new QLabel(FormText(szKey), pCell), szLabelName);
    pLabel->setAlignment(Qt::AlignCenter);
    auto* pLayout = Named(new QVBoxLayout(pCell), (QByteArray(szWidgetName) + "Layout").constData());
    pLayout->addWidget(pLabel);
    return pCell;
}

QWidget* CLinkageSetupDlg::CreateDisplayWidget()
{
    auto* pDisplay = Named(new QWidget(m_pWidgetSetup), "m_pWidgetDisplay");
    QWidget* pPreview1 = CreatePreviewCell("m_pWidgetPreview1", "m_pLabelDisplay1", "LiveView");
    QWidget* pPreview2 = CreatePreviewCell("m_pWidgetPreview2", "m_pLabelDisplay2", "LiveView");
    m_pWidgetPreview3 = CreatePreviewCell("m_pWidgetPreview3", "m_pLabelDisplay5", "LiveView");
    QWidget* pScene = CreatePreviewCell("m_pWidgetScene", "m_pLabelDisplay3", "PanoramicChannelAlarm");
    QWidget* pLinkage = CreatePreviewCell("m_pWidgetLinkage", "m_pLabelDisplay4", "LinkageChannelAlarm");

    auto* pLiveRow = Named(new QHBoxLayout(), "horizontalLayout");
    for (QWidget* pPreview : {pPreview1, pPreview2, m_pWidgetPreview3})
        pLiveRow->addWidget(pPreview);
    auto* pAlarmRow = Named(new QHBoxLayout(), "horizontalLayout_2");
    pAlarmRow->addWidget(pScene, 143);
    pAlarmRow->addWidget(pLinkage, 383);
    auto* pLayout = Named(new QGridLayout(pDisplay), "gridLayout");
    pLayout->setSpacing(6);
    pLayout->setContentsMargins(10, 10, 10, 10);
    pLayout->addLayout(pLiveRow, 0, 0);
    pLayout->addLayout(pAlarmRow, 1, 0);
    return pDisplay;
}

QLayout* CLinkageSetupDlg::CreateSaveRow()
{
    m_pCheckSavePic = Named(new QCheckBox(m_pWidgetSetup), "m_pCheckSavePic");
    m_pCheckSavePic->setMinimumWidth(40);
    auto* pLayout = Named(new QHBoxLayout(), "horizontalLayout_5");
    pLayout->addWidget(m_pCheckSavePic);
    pLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    return pLayout;
}

QLayout* CLinkageSetupDlg::CreatePathRow()
{
    m_pEditSavePath = Named(new TesselGUIToolkit::CLineEdit(m_pWidgetSetup), "m_pEditSavePath");
    auto* pLayout = Named(new QHBoxLayout(), "horizontalLayout_4");
    pLayout->addWidget(m_pEditSavePath);
    return pLayout;
}

QLayout* CLinkageSetupDlg::CreateButtonRow()
{
    m_pBtnSave = Named(new QPushButton(FormText("Save"), m_pWidgetSetup), "m_pBtnSave");
    m_pBtnSave->setMinimumWidth(96);
    m_pBtnCancel = Named(new QPushButton(FormText("UndoMerge"), m_pWidgetSetup), "m_pBtnCancel");
    m_pBtnCancel->setMinimumWidth(96);
    auto* pLayout = Named(new QHBoxLayout(), "horizontalLayout_3");
    pLayout->setSpacing(8);
    pLayout->addWidget(m_pBtnSave);
    pLayout->addWidget(m_pBtnCancel);
    pLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    return pLayout;
}

void CLinkageSetupDlg::MakeConnections()
{
    connect(m_pCheckSavePic, SIGNAL(stateChanged(int)), this, SLOT(onCheckSavePicChange()));
    connect(m_pEditSavePath, SIGNAL(SignalCursorPosition(int)), this, SLOT(onPicPathClicked()));
    connect(m_pBtnClose, SIGNAL(clicked()), this, SLOT(onBtnCloseClicked()));
    connect(m_pBtnSave, SIGNAL(clicked()), this, SLOT(onBtnSaveClicked()));
    connect(m_pBtnCancel, SIGNAL(clicked()), this, SLOT(onBtnCancelClicked()));
    connect(m_pButtonGroup, SIGNAL(buttonClicked(QAbstractButton*)), this, SLOT(onPreviewClicked()));
}

bool CLinkageSetupDlg::LoadSetup()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    if (!pStore)
        return false;
    if (pStore->TakeRecoveryNotice())
        Notify(tr("SettingsDatabaseDamaged"), parentWidget());
    if (pStore->IsSetupEmpty()) {
        // First start: a default folder in the component folder, saving off.
        m_stSetupInfo.IsSavePicture = false;
        m_stSetupInfo.SavePicPath =
            QFile::decodeName(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath().c_str())
            + QStringLiteral("LinkageAlarm");
        QDir().mkpath(m_stSetupInfo.SavePicPath);
        return true;
    }
    if (pStore->LoadSetup(m_stSetupInfo))
        return true;
    // Locked by another process, say: keep what was read last (saving stays as
    // it was) and read again when the dialog is next opened.
    pStore->LastLoadedSetup(m_stSetupInfo);
    return false;
}

void CLinkageSetupDlg::showEvent(QShowEvent* pEvent)
{
    if (m_bLoadPending && LoadSetup()) {
        m_bLoadPending = false;
        ShowSetup();
        emit signalSaved(true); // the view takes the settings it could not read before
    }
    QDialog::showEvent(pEvent);
}

void CLinkageSetupDlg::ShowSetup()
{
    m_pCheckSavePic->setChecked(m_stSetupInfo.IsSavePicture);
    m_pEditSavePath->setText(m_stSetupInfo.SavePicPath);
    m_pEditSavePath->setEnabled(m_stSetupInfo.IsSavePicture);
    if (m_stSetupInfo.PreviewMode == kPreviewModeDual)
        m_pRadio2View->setChecked(true);
    else
        m_pRadio3View->setChecked(true);
    m_pWidgetPreview3->setVisible(m_pRadio3View->isChecked());
}

void CLinkageSetupDlg::onCheckSavePicChange()
{
    m_pEditSavePath->setEnabled(m_pCheckSavePic->isChecked());
}

void CLinkageSetupDlg::onPreviewClicked()
{
    m_pWidgetPreview3->setVisible(m_pRadio3View->isChecked());
}

void CLinkageSetupDlg::onPicPathClicked()
{
    const QString strTitle = tr("ExportPicture");
    const QString strStart = m_pEditSavePath->text();
    const QString strChosen =
        m_fnFolderChooser
            ? m_fnFolderChooser(this, strTitle, strStart)
            : QFileDialog::getExistingDirectory(this, strTitle, strStart,
                                                QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!strChosen.isEmpty() && AcceptFolder(strChosen))
        m_pEditSavePath->setText(strChosen);
}

bool CLinkageSetupDlg::AcceptFolder(const QString& strFolder)
{
    if (HasTooLittleSpace(strFolder)) {
        Notify(tr("NoEnoughFreeSpace"), this);
        return false;
    }
    if (!CanWriteIn(strFolder)) {
        Notify(tr("NoAccessToThisFolder"), this);
        return false;
    }
    return true;
}

void CLinkageSetupDlg::onBtnSaveClicked()
{
    m_stSetupInfo.IsSavePicture = m_pCheckSavePic->isChecked();
    m_stSetupInfo.SavePicPath = m_pEditSavePath->text();
    m_stSetupInfo.PreviewMode = m_pRadio2View->isChecked() ? kPreviewModeDual : kPreviewModeTriple;
    m_bSaveFailed = false;
    if (!QDir(m_stSetupInfo.SavePicPath).exists()) {
        // Recreated, but the user is told: pictures may have gone missing with it.
        QDir().mkpath(m_stSetupInfo.SavePicPath);
        m_bSaveFailed = true;
    }
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    if (!pStore || !pStore->SaveSetup(m_stSetupInfo))
        m_bSaveFailed = true;
    if (m_bSaveFailed) {
        Notify(tr("SaveFailed"), this);
        return;
    }
    Notify(tr("Saved"), parentWidget());
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
