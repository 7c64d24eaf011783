#pragma once

#include "HostExport.h"

#include <QWidget>

#include <string>
#include <vector>

namespace quorra {

// One entry of a plug-in widget's saved state.
struct HOST_API AIWidgetStateItem
{
    std::string strText;
    std::vector<int> vecValues;

    bool operator==(const AIWidgetStateItem& other) const
    {
        return strText == other.strText && vecValues == other.vecValues;
    }
};

using AIWidgetStateList = std::vector<AIWidgetStateItem>;

// The widget a dashboard plug-in embeds. The host keeps its state list from one
// run to the next: it fills the list before readState() and stores it after
// saveState().
class HOST_API IAIWidget : public QWidget
{
    Q_OBJECT
public:
    explicit IAIWidget(QWidget* parent = nullptr);
    ~IAIWidget() override;

    virtual void saveState() = 0;
    virtual void readState() = 0;

    AIWidgetStateList& stateList() { return m_vecStateList; }
    const AIWidgetStateList& stateList() const { return m_vecStateList; }

public slots:
    virtual void onConfigBtnClicked() = 0;
    virtual void onMinmumBtnClicked() = 0;
    virtual void onCloseBtnClicked() = 0;

protected:
    AIWidgetStateList m_vecStateList;
};

} // namespace quorra
