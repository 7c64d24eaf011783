#pragma once

#include "settings/LinkageSetupInfo.h"

#include "history/HistoryBounds.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QPushButton;
class QTimer;

namespace Ui {
class LinkageSetupDlg;
} // namespace Ui

namespace LinkageSnapAlarm {

class CAlarmHistory;
class CHistoryPanel;

// The modal settings dialog of the linkage view: picture saving on or off, the
// picture folder and the number of live windows. It loads the stored settings when
// constructed and stores them on Save, announcing that with signalSaved(true).
// Settings that cannot be read yet (another process holds the database) are
// read again in the background until they can, then announced the same way.
class CLinkageSetupDlg : public QDialog
{
    Q_OBJECT
public:
    // Answers the folder chooser: the chosen folder, or an empty text when cancelled.
    using FolderChooser =
        std::function<QString(QWidget* pParent, const QString& strTitle, const QString& strStartFolder)>;

    // When the form's widgets are built: at once, or when the dialog is first
    // shown (or EnsureForm asks), so that a view starting up pays only for the
    // settings. The settings are loaded at construction either way.
    enum class Form { Now, OnFirstShow };

    explicit CLinkageSetupDlg(QWidget* pParent = nullptr);
    CLinkageSetupDlg(QWidget* pParent, Form eForm);
    ~CLinkageSetupDlg() override;

    void EnsureForm();
    bool IsFormBuilt() const { return m_bFormBuilt; }
    void setVisible(bool bVisible) override;

    void GetSetupInfo(LinkageSetupInfo& info) const;
    // How much the alarm history keeps, as stored beside the settings.
    HistoryBounds GetHistoryBounds() const { return m_stHistoryBounds; }
    // The history the "m_pBtnHistory" button (beside the close button, outside
    // the form) and Ctrl+H open; the panel's bound edits are stored here.
    void SetAlarmHistory(CAlarmHistory* pHistory);
    // The history panel once opened, else null.
    CHistoryPanel* HistoryPanel() const { return m_pHistoryPanel; }
    // Every way of leaving without Save (buttons, Escape) drops unsaved changes.
    void reject() override;

    // Replaces Qt's folder dialog, for tests; an empty function restores it.
    void SetFolderChooser(FolderChooser fnChooser);

    // How often unreadable settings are tried again; each try waits at most the
    // store's busy timeout on the GUI thread.
    static constexpr int kLoadRetryMs = 1000;

protected:
    // Reads the settings again when they could not be read before.
    void showEvent(QShowEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

signals:
    void signalSaved(bool bSucceed);

public slots:
    void onBtnCloseClicked();
    void onBtnSaveClicked();
    void onBtnCancelClicked();
    void onPicPathClicked();
    void onCheckSavePicChange();
    void onPreviewClicked();

private slots:
    void onRetryLoad();
    // Opens the history panel over the linkage view and closes this dialog.
    void onBtnHistoryClicked();
    void onHistoryBoundsEdited(const LinkageSnapAlarm::HistoryBounds& bounds);

private:
    void MakeConnections();
    // Names and help for screen readers; the folder field's keys.
    void InitAccessibility();

    // False when the store could not be read; the last settings read are kept.
    bool LoadSetup();
    // A damaged database the last statement found and replaced is told once.
    void TellRecovery();
    // Notices about the settings wait until the view is on screen, so that
    // none fades before anyone can see it.
    void NotifyWhenShown(const QString& strText);
    void ShowSetup();
    void LoadHistoryBounds();
    void AddHistoryButton();
    void PlaceHistoryButton();
    bool AcceptFolder(const QString& strFolder);
    void Notify(const QString& strText, QWidget* pParent);

    // The form (LinkageSetupDlgForm.ui); the host style sheet addresses its widgets by object name.
    std::unique_ptr<Ui::LinkageSetupDlg> ui;

    bool m_bFormBuilt = false;
    LinkageSetupInfo m_stSetupInfo;
    bool m_bSaveFailed = false;
    bool m_bLoadPending = false;
    FolderChooser m_fnFolderChooser;
    QTimer* m_pRetryTimer = nullptr;
    QStringList m_lstPendingNotices;
    HistoryBounds m_stHistoryBounds;
    CAlarmHistory* m_pHistory = nullptr;
    QPushButton* m_pBtnHistory = nullptr;
    CHistoryPanel* m_pHistoryPanel = nullptr;
};

} // namespace LinkageSnapAlarm
