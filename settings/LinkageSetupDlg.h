#pragma once

#include "LinkageSetupInfo.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace LinkageSnapAlarm {

struct CLinkageSetupDlgForm;

// The modal settings dialog of the linkage view: picture saving on or off, the
// picture folder and the number of live windows. It loads the stored settings when
// constructed and stores them on Save, announcing that with signalSaved(true).
class CLinkageSetupDlg : public QDialog
{
    Q_OBJECT
public:
    // Answers the folder chooser: the chosen folder, or an empty text when cancelled.
    using FolderChooser =
        std::function<QString(QWidget* pParent, const QString& strTitle, const QString& strStartFolder)>;

    explicit CLinkageSetupDlg(QWidget* pParent = nullptr);
    ~CLinkageSetupDlg() override;

    void GetSetupInfo(LinkageSetupInfo& info) const;
    // Every way of leaving without Save (buttons, Escape) drops unsaved changes.
    void reject() override;

    // Replaces Qt's folder dialog, for tests; an empty function restores it.
    void SetFolderChooser(FolderChooser fnChooser);

protected:
    // Reads the settings again when they could not be read before.
    void showEvent(QShowEvent* pEvent) override;

signals:
    void signalSaved(bool bSucceed);

public slots:
    void onBtnCloseClicked();
    void onBtnSaveClicked();
    void onBtnCancelClicked();
    void onPicPathClicked();
    void onCheckSavePicChange();
    void onPreviewClicked();

private:
    void MakeConnections();

    // False when the store could not be read; the last settings read are kept.
    bool LoadSetup();
    void ShowSetup();
    bool AcceptFolder(const QString& strFolder);
    void Notify(const QString& strText, QWidget* pParent);

    std::unique_ptr<CLinkageSetupDlgForm> m_upForm;

    LinkageSetupInfo m_stSetupInfo;
    bool m_bSaveFailed = false;
    bool m_bLoadPending = false;
    FolderChooser m_fnFolderChooser;
};

} // namespace LinkageSnapAlarm
