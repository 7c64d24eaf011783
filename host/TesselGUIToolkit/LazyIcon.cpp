#include "TesselGUIToolkit/LazyIcon.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>

namespace TesselGUIToolkit {
namespace {

// Stands in for the file's own icon engine until the icon is first used.
class CLazyIconEngine : public QIconEngine
{
public:
    explicit CLazyIconEngine(const QString& strFile)
        : m_strFile(strFile)
    {
    }

    void paint(QPainter* pPainter, const QRect& rc, QIcon::Mode eMode, QIcon::State eState) override
    {
        Icon().paint(pPainter, rc, Qt::AlignCenter, eMode, eState);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode eMode, QIcon::State eState) override
    {
        return Icon().pixmap(size, eMode, eState);
    }
    QSize actualSize(const QSize& size, QIcon::Mode eMode, QIcon::State eState) override
    {
        return Icon().actualSize(size, eMode, eState);
    }
    QList<QSize> availableSizes(QIcon::Mode eMode, QIcon::State eState) const override
    {
        return Icon().availableSizes(eMode, eState);
    }
    QString key() const override { return QStringLiteral("LazyIconEngine"); }
    QIconEngine* clone() const override { return new CLazyIconEngine(*this); }

private:
    const QIcon& Icon() const
    {
        if (m_icon.isNull())
            m_icon = QIcon(m_strFile);
        return m_icon;
    }

    QString m_strFile;
    mutable QIcon m_icon;
};

} // namespace

QIcon LazyIcon(const QString& strFile)
{
    return QFile::exists(strFile) ? QIcon(new CLazyIconEngine(strFile)) : QIcon();
}

} // namespace TesselGUIToolkit
