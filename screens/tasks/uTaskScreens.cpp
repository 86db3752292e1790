#include "screens/tasks/uTaskScreens.h"

#include "shell/udmResource.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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

QIcon TaskRowIcon(int index) {
    return StandardIcon(index == 0 ? QStyle::SP_FileIcon : QStyle::SP_DialogApplyButton);
}

PTaskInfo SelectedTask(const TListView* list) {
    const int row = list->selectedRow();
    if (row < 0) return nullptr;
    return static_cast<PTaskInfo>(list->rowData(row).value<void*>());
}

void AddTaskRow(TListView* list, const QStringList& cells, PTaskInfo task, int shieldColumn) {
    const int row = list->addRow(cells, QVariant::fromValue(static_cast<void*>(task)));
    if (QTableWidgetItem* first = list->item(row, 0)) first->setIcon(TaskRowIcon(0));
    if (QTableWidgetItem* shield = list->item(row, shieldColumn)) shield->setIcon(TaskRowIcon(1));
    for (int column = 1; column < list->columnCount(); ++column) list->resizeColumnToContents(column);
    list->resizeRowToContents(row);
}

bool SendLifecycleCommand(const TServices& services, QWidget* owner, TCommand command,
                          const std::vector<TCommandValue>& values, const TLifecycleTexts& texts) {
    const auto reply = SendCommand(services, owner, command, values, texts.transportPrefix);
    if (!reply) return false;
    if (reply->done()) {
        ShowHint(services.prompter, owner, texts.success);
        return true;
    }
    if (reply->code == 0)
        ShowRefusal(services.prompter, owner, texts.refusedPrefix, RequireReturnMsg(reply->msg),
                    TMsgIcon::Information);
    return false;
}

void CopyTaskIdToClipboard(const TServices& services, QWidget* owner, const TTaskInfo& task) {
    QApplication::clipboard()->setText(task.Ftaskid);
    ShowHint(services.prompter, owner, QStringLiteral("已复制任务ID到剪切板！"));
}

TTaskScreenFrame BuildTaskScreenFrame(QWidget* screen, const TTaskScreenLayout& spec) {
    TTaskScreenFrame frame;
    screen->resize(spec.size);
    QFont screenFont(QStringLiteral("宋体"));
    screenFont.setPixelSize(12);
    screen->setFont(screenFont);

    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* pnl_Top = new QFrame(screen);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    pnl_Top->setFixedHeight(73);
    auto* top = new QHBoxLayout(pnl_Top);
    top->setContentsMargins(8, 4, 8, 4);
    frame.Image1 = new QLabel(pnl_Top);
    frame.Image1->setObjectName(QStringLiteral("Image1"));
    frame.Image1->setFixedSize(64, 64);
    frame.Image1->setPixmap(StandardIcon(QStyle::SP_MessageBoxWarning).pixmap(64, 64));
    frame.Image1->setAccessibleName(QStringLiteral("注意"));
    top->addWidget(frame.Image1);
    frame.banner = new QLabel(spec.bannerText, pnl_Top);
    frame.banner->setObjectName(QString::fromLatin1(spec.bannerName));
    frame.banner->setFont(spec.bannerFont);
    if (spec.bannerColour.isValid())
        frame.banner->setStyleSheet(QStringLiteral("color: %1;").arg(spec.bannerColour.name()));
    frame.banner->setWordWrap(true);
    top->addWidget(frame.banner, 1);
    layout->addWidget(pnl_Top);

    frame.lv_task = new TListView(QStringLiteral("lv_task"), screen);
    frame.lv_task->setColumns(spec.columns);
    frame.lv_task->setColumnColours(1, 5);
    frame.lv_task->setHandCursor(true);
    frame.lv_task->setIconSize(QSize(16, 16));
    layout->addWidget(frame.lv_task, 1);

    auto* pnl_Navigate = new QFrame(screen);
    pnl_Navigate->setObjectName(QStringLiteral("pnl_Navigate"));
    pnl_Navigate->setFixedHeight(41);
    auto* bottom = new QHBoxLayout(pnl_Navigate);
    bottom->setContentsMargins(8, 0, 0, 0);
    auto* Label2 = new QLabel(QStringLiteral("任务ID："), pnl_Navigate);
    Label2->setObjectName(QStringLiteral("Label2"));
    bottom->addWidget(Label2);
    frame.edt_search = new QLineEdit(pnl_Navigate);
    frame.edt_search->setObjectName(QString::fromLatin1(spec.searchEditName));
    frame.edt_search->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    frame.edt_search->setFixedWidth(180);
    Label2->setBuddy(frame.edt_search);
    bottom->addWidget(frame.edt_search);
    frame.btn_Search = new QPushButton(QStringLiteral("查找"), pnl_Navigate);
    frame.btn_Search->setObjectName(QStringLiteral("btn_Search"));
    bottom->addWidget(frame.btn_Search);
    frame.navigation = new TPageNavigationBar(pnl_Navigate);
    bottom->addWidget(frame.navigation, 1);
    layout->addWidget(pnl_Navigate);
    QWidget::setTabOrder(frame.edt_search, frame.btn_Search);
    return frame;
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
