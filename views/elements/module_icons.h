#pragma once
// The module's icons, drawn at first use: the value row's changed mark
// (resources 207 and 208 of the original control) and the 16 × 16 image
// lists of the menu tree and the fault list.

#include <QIcon>
#include <QPixmap>

namespace views::elements {

inline constexpr int kIconUnchanged = 207;
inline constexpr int kIconChanged = 208;

// The changed mark's image for a resource id (207 or 208).
QPixmap markIcon(int resourceId);
// Image `index` of the menu tree's list: 0 folder, 1 panel, 2 measurement,
// 3 tools; others fall back to the panel image.
QIcon treeIcon(int index);
// Image `index` of the fault list's list: 0 good, 1 fault, 2 warning, others
// a neutral mark.
QIcon faultIcon(long index);

}  // namespace views::elements
