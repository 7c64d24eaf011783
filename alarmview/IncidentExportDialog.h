#pragma once

#include "alarmview/IncidentExport.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace LinkageSnapAlarm {

// "Export incident…": where to, how many seconds of video around the alarms,
// the operator's note; then the export's progress with Cancel. Closing the
// dialog while it runs cancels it.
class CIncidentExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CIncidentExportDialog(QWidget* parent = nullptr);
    ~CIncidentExportDialog() override;

    // Shows the dialog for a linkage and the cameras' buffers, ready to start.
    // Ignored while an export runs.
    void Open(LinkageRecordSet set, std::vector<IncidentClipSource> vecSources, const QString& strFolder);
    // The free-space hook handed to every export (tests).
    void SetFreeBytesHook(std::function<std::optional<qint64>(const QString&)> fnFreeBytes);
    bool IsExporting() const { return m_pExporter->IsRunning(); }
    // The last finished export, empty when none.
    const QString& ExportedFolder() const { return m_strExported; }

public slots:
    void onExportClicked();
    void onCancelClicked();

signals:
    void signalExportFinished(const LinkageSnapAlarm::IncidentExportResult& result);

protected:
    void reject() override;

private:
    void BuildForm();
    void SetRunning(bool bRunning);
    void OnFinished(const IncidentExportResult& result);
    void LoadSeconds();
    void SaveSeconds();

    QLineEdit* m_pFolderEdit = nullptr;
    QPushButton* m_pBrowseBtn = nullptr;
    QSpinBox* m_pSecondsSpin = nullptr;
    QPlainTextEdit* m_pNoteEdit = nullptr;
    QProgressBar* m_pProgressBar = nullptr;
    QLabel* m_pStatusLabel = nullptr;
    QPushButton* m_pExportBtn = nullptr;
    QPushButton* m_pCancelBtn = nullptr;
    CIncidentExporter* m_pExporter = nullptr;
    LinkageRecordSet m_set;
    std::vector<IncidentClipSource> m_vecSources;
    std::function<std::optional<qint64>(const QString&)> m_fnFreeBytes;
    QString m_strExported;
    int m_nStoredSeconds = IncidentExportRequest::kDefaultMarginSeconds;
};

} // namespace LinkageSnapAlarm
