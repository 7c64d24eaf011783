#pragma once

#include <QMetaType>
#include <Qt>

namespace TesselGUIToolkit {

// Item-data roles of the host's resource trees.
enum CItemDataRole {
    // Header data of section 0: the current search keywords (QStringList).
    FilterKeywordsRole = 407,
    // Pixmap drawn at the right end of a camera row; a click on it starts live view.
    CameraRightPixmapRole = 436,
    // The same for a group row.
    GroupRightPixmapRole = 437,
    // Text attached to the right-hand pixmap (its tool tip).
    RightPixmapTipRole = 466,
    // ItemTypeArea or ItemTypeElement (unsigned).
    ItemTypeRole = 657,
    // Group GUID of a group row.
    AreaIDRole = 659,
    // Element GUID of an element row.
    ElementIDRole = 662,
    // The row's element type code as text for secondary filters: 0 for a group.
    SecondaryFilterRole = 767,
};

// Values under ItemTypeRole.
enum ItemType : unsigned { ItemTypeArea = 1, ItemTypeElement = 2 };

} // namespace TesselGUIToolkit

Q_DECLARE_METATYPE(TesselGUIToolkit::CItemDataRole)
