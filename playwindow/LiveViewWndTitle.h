#pragma once

#include "TesselGUIToolkit/FancyTitle.h"
#include "Vantrel/StreamInfo.h"

#include <QString>

#include <cstdint>

namespace TesselGUIToolkit {
class CLabel;
class CHBoxLayout;
} // namespace TesselGUIToolkit

// A play window's title bar: the camera's name on the left and, on the right,
// the stream line (bit rate, picture size, frame rate, optionally the stream name).
class CLiveViewWndTitle : public TesselGUIToolkit::CFancyTitle
{
    Q_OBJECT
public:
    static constexpr int kTitleHeight = 32;

    explicit CLiveViewWndTitle(QWidget* pParent = nullptr);

    void SetTitleText(const QString& strText);
    void ClearTitle();
    void ShowStreamInfo(const Vantrel::StreamInfo& struInfo, bool bWithStreamName, int32_t nStreamType);
    void SetStreamInfoVisible(bool bVisible);

    // When set, the stream line is shortened to the label's width (full text as tool tip).
    void SetElideStreamInfo(bool bElide) { m_bElideStreamInfo = bElide; }

    // "4800.00kbps, " for 600000 bytes per second; exact below 1001 bit/s.
    static QString BitRateText(uint32_t uBytesPerSecond);
    // The translation key of a stream type's name; empty for unnamed types.
    static const char* StreamNameKey(int32_t nStreamType);
    // True when a host language runs its texts right to left.
    static bool IsRightToLeftLanguage(int32_t nLanguage);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    TesselGUIToolkit::CLabel* CreateLabel(const char* pszObjectName);
    int StreamLineRoom() const;
    void ElideStreamLine();

    TesselGUIToolkit::CLabel* m_pWndLabel = nullptr;
    TesselGUIToolkit::CLabel* m_pDetailLabel = nullptr;
    QWidget* m_pReserved = nullptr;
    TesselGUIToolkit::CLabel* m_pAnalyzeResultLabel = nullptr;
    int32_t m_nReservedFlag = 1;
    QString m_strReserved;
    bool m_bElideStreamInfo = false;
    QString m_strFrameRate;
    QString m_strStreamLine; // the whole line, kept for shortening it again on resize
};
