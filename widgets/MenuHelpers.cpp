#include "widgets/MenuHelpers.h"

#include "widgets/udmResource.h"

#include <QAction>
#include <QMenu>
#include <QStyle>

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, int icon, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (icon >= 0) action->setIcon(ToolIcon(icon));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

QMenu* AddSubmenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* submenu = menu->addMenu(caption);
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    submenu->setToolTipsVisible(true);
    return submenu;
}

void TidySeparators(QMenu* menu) {
    QAction* pending = nullptr; // the separator that would stand before the next visible item
    bool itemShown = false;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            action->setVisible(false);
            if (itemShown && !pending) pending = action;
            continue;
        }
        if (!action->isVisible()) continue;
        if (pending) {
            pending->setVisible(true);
            pending = nullptr;
        }
        itemShown = true;
    }
}

QIcon ToolIcon(int index) {
    QStyle::StandardPixmap pixmap = QStyle::SP_FileIcon;
    switch (index) {
    case 1: pixmap = QStyle::SP_FileDialogContentsView; break; // copy
    case 2: pixmap = QStyle::SP_TrashIcon; break;              // delete, cancel
    case 3: pixmap = QStyle::SP_MessageBoxInformation; break;  // contact
    case 4: pixmap = QStyle::SP_BrowserReload; break;          // more time
    case 7: pixmap = QStyle::SP_MessageBoxInformation; break;  // contact, receipt
    case 10: pixmap = QStyle::SP_DialogApplyButton; break;     // complete
    case 11: pixmap = QStyle::SP_DialogOkButton; break;        // paid, shipped
    case 16: pixmap = QStyle::SP_ArrowBack; break;             // step back
    default: break;
    }
    return StandardIcon(pixmap);
}
