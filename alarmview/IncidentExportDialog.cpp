#include "alarmview/IncidentExportDialog.h"

#include "alarmview/AlarmViewTexts.h"
#include "settings/LinkageSetupStore.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace LinkageSnapAlarm {
namespace {

// More than the pre-alarm buffer holds by default would only be cut short.
constexpr int kMaxMarginSeconds = 120;
constexpr int kNoteLines = 3;
constexpr int kMinWidth = 420;

template <typename W>
W* Named(W* pWidget, const char* szName)
{
    pWidget->setObjectName(QLatin1String(szName));
    return pWidget;
}

} // namespace

CIncidentExportDialog::CIncidentExportDialog(QWidget* parent)
    : QDialog(parent)
    , m_pExporter(new CIncidentExporter(this))
{
    setObjectName(QStringLiteral("IncidentExportDialog"));
    BuildForm();
    connect(m_pExporter, &CIncidentExporter::signalProgress, this, [this](int nPercent, const QString& strStage) {
        m_pProgressBar->setValue(nPercent);
        if (!strStage.isEmpty())
            m_pStatusLabel->setText(strStage);
    });
    connect(m_pExporter, &CIncidentExporter::signalFinished, this, &CIncidentExportDialog::OnFinished);
}

CIncidentExportDialog::~CIncidentExportDialog() = default;

void CIncidentExportDialog::BuildForm()
{
    using T = AlarmViewTexts;
    setWindowTitle(T::Text(T::ExportTitle));
    setMinimumWidth(kMinWidth);
    m_pFolderEdit = Named(new QLineEdit(this), "m_pFolderEdit");
    m_pBrowseBtn = Named(new QPushButton(T::Text(T::ExportBrowse), this), "m_pBrowseBtn");
    m_pSecondsSpin = Named(new QSpinBox(this), "m_pSecondsSpin");
    m_pSecondsSpin->setRange(0, kMaxMarginSeconds);
    m_pSecondsSpin->setValue(IncidentExportRequest::kDefaultMarginSeconds);
    m_pNoteEdit = Named(new QPlainTextEdit(this), "m_pNoteEdit");
    m_pNoteEdit->setTabChangesFocus(true);
    m_pNoteEdit->setFixedHeight(m_pNoteEdit->fontMetrics().lineSpacing() * (kNoteLines + 1));
    m_pProgressBar = Named(new QProgressBar(this), "m_pProgressBar");
    m_pProgressBar->setRange(0, 100);
    m_pProgressBar->setValue(0);
    m_pStatusLabel = Named(new QLabel(this), "m_pStatusLabel");
    m_pStatusLabel->setWordWrap(true);
    m_pStatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pExportBtn = Named(new QPushButton(T::Text(T::ExportStart), this), "m_pExportBtn");
    m_pExportBtn->setDefault(true);
    m_pCancelBtn = Named(new QPushButton(T::Text(T::ExportCancel), this), "m_pCancelBtn");

    auto* pFolderRow = new QHBoxLayout;
    pFolderRow->addWidget(m_pFolderEdit, 1);
    pFolderRow->addWidget(m_pBrowseBtn);
    auto* pForm = new QFormLayout;
    pForm->addRow(T::Text(T::ExportFolder), pFolderRow);
    pForm->addRow(T::Text(T::ExportSeconds), m_pSecondsSpin);
    pForm->addRow(T::Text(T::ExportNote), m_pNoteEdit);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pExportBtn);
    pButtons->addWidget(m_pCancelBtn);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pProgressBar);
    pLayout->addWidget(m_pStatusLabel);
    pLayout->addLayout(pButtons);

    connect(m_pExportBtn, &QPushButton::clicked, this, &CIncidentExportDialog::onExportClicked);
    connect(m_pCancelBtn, &QPushButton::clicked, this, &CIncidentExportDialog::onCancelClicked);
    connect(m_pBrowseBtn, &QPushButton::clicked, this, [this] {
        const QString strFolder = QFileDialog::getExistingDirectory(this, windowTitle(), m_pFolderEdit->text());
        if (!strFolder.isEmpty())
            m_pFolderEdit->setText(strFolder);
    });
}

void CIncidentExportDialog::Open(LinkageRecordSet set, std::vector<IncidentClipSource> vecSources,
                                 const QString& strFolder)
{
    if (IsExporting()) {
        show();
        raise();
        return;
    }
    m_set = std::move(set);
    m_vecSources = std::move(vecSources);
    LoadSeconds();
    if (m_pFolderEdit->text().isEmpty())
        m_pFolderEdit->setText(strFolder);
    m_pNoteEdit->clear();
    m_pProgressBar->setValue(0);
    m_pStatusLabel->clear();
    m_strExported.clear();
    SetRunning(false);
    show();
    raise();
    activateWindow();
    m_pNoteEdit->setFocus();
}

void CIncidentExportDialog::LoadSeconds()
{
    // The seconds last exported with, kept beside the view's settings.
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    int nSeconds = IncidentExportRequest::kDefaultMarginSeconds;
    if (pStore && pStore->ReadExportMargin(nSeconds) == CLinkageSetupStore::ReadResult::Loaded)
        m_pSecondsSpin->setValue(nSeconds); // the spin box keeps it within its range
    m_nStoredSeconds = m_pSecondsSpin->value();
}

void CIncidentExportDialog::SaveSeconds()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    if (m_pSecondsSpin->value() != m_nStoredSeconds && pStore && pStore->SaveExportMargin(m_pSecondsSpin->value()))
        m_nStoredSeconds = m_pSecondsSpin->value();
}

void CIncidentExportDialog::SetFreeBytesHook(std::function<std::optional<qint64>(const QString&)> fnFreeBytes)
{
    m_fnFreeBytes = std::move(fnFreeBytes);
}

void CIncidentExportDialog::onExportClicked()
{
    if (IsExporting())
        return;
    IncidentExportRequest request;
    request.set = m_set;
    request.strTargetFolder = m_pFolderEdit->text().trimmed();
    request.strNote = m_pNoteEdit->toPlainText();
    request.nMarginSeconds = m_pSecondsSpin->value();
    request.vecSources = m_vecSources;
    request.fnFreeBytes = m_fnFreeBytes;
    SaveSeconds();
    m_pProgressBar->setValue(0);
    if (m_pExporter->Start(std::move(request)))
        SetRunning(true);
}

void CIncidentExportDialog::onCancelClicked()
{
    if (IsExporting())
        m_pExporter->Cancel();
    else
        QDialog::reject();
}

void CIncidentExportDialog::reject()
{
    // Esc or the window's close: an export running stops and leaves nothing.
    if (IsExporting())
        m_pExporter->Cancel();
    QDialog::reject();
}

void CIncidentExportDialog::SetRunning(bool bRunning)
{
    for (QWidget* pWidget :
         std::initializer_list<QWidget*>{m_pFolderEdit, m_pBrowseBtn, m_pSecondsSpin, m_pNoteEdit, m_pExportBtn})
        pWidget->setEnabled(!bRunning);
    setProperty("bExporting", bRunning);
    // Cancel stops a running export; otherwise the button closes the dialog.
    m_pCancelBtn->setText(AlarmViewTexts::Text(bRunning || m_strExported.isEmpty() ? AlarmViewTexts::ExportCancel
                                                                                   : AlarmViewTexts::Close));
}

void CIncidentExportDialog::OnFinished(const IncidentExportResult& result)
{
    using T = AlarmViewTexts;
    QString strText = result.bOk ? T::WithArgs(T::ExportDone, {result.strFolder}) : result.strError;
    if (result.bOk && !result.lstMissing.isEmpty())
        strText += QLatin1Char('\n') + T::WithArgs(T::ExportMissing, {result.lstMissing.join(QLatin1String("; "))});
    m_pStatusLabel->setText(strText);
    if (result.bOk) {
        m_strExported = result.strFolder;
        // Readable by name for scripts that drive the dialog as an operator would.
        setProperty("strExportedFolder", m_strExported);
        m_pProgressBar->setValue(m_pProgressBar->maximum());
    }
    SetRunning(false);
    emit signalExportFinished(result);
}

} // namespace LinkageSnapAlarm
