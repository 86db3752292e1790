#include "screens/tasks/uTaskScreens.h"

#include "shell/udmResource.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QStyle>

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

QIcon TaskRowIcon(int index) { return StandardIcon(index == 0 ? QStyle::SP_FileIcon : QStyle::SP_DialogApplyButton); }

bool SendLifecycleCommand(const TServices& services, QWidget* owner, TCommand command,
                          const std::vector<TCommandValue>& values, const TLifecycleTexts& texts) {
    const auto reply = SendCommand(services, owner, command, values, texts.transportPrefix);
    if (!reply) return false;
    if (reply->done()) {
        ShowHint(services.prompter, owner, texts.success);
        return true;
    }
    if (reply->code == 0)
        ShowRefusal(services.prompter, owner, texts.refusedPrefix, RequireReturnMsg(reply->msg), TMsgIcon::Information);
    return false;
}

void CopyTaskIdToClipboard(const TServices& services, QWidget* owner, const TTaskInfo& task) {
    QApplication::clipboard()->setText(task.Ftaskid);
    ShowHint(services.prompter, owner, QStringLiteral("已复制任务ID到剪切板！"));
}

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
