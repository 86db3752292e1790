#pragma once
// Context menus as the screens build them: items and submenus that carry their object names, the
// menu icons by their index in the tool picture list, and separators that never stand first, last
// or twice in a row.
#include <QIcon>
#include <QString>

class QAction;
class QMenu;

// A menu item with its object name, and optionally an icon of ToolIcon and a hint.
QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, int icon = -1, const QString& hint = {});
// A submenu whose menu and item both carry `name`.
QMenu* AddSubmenu(QMenu* menu, const char* name, const QString& caption);

// Shows a separator only between two visible items: never first, never last, never two in a row.
// Every other separator of `menu` is hidden. Call after the items' visibility is settled.
void TidySeparators(QMenu* menu);

// The menu icons, by their index in the shared tool picture list.
QIcon ToolIcon(int index);
