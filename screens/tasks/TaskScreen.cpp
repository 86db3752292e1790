#include "screens/tasks/TaskScreen.h"

#include "model/uVarConst.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"
#include "widgets/udmResource.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
// The red column with the shield picture: "接单日期" / "接单时间".
constexpr int AccentColumn = 5;
} // namespace

TaskScreen::TaskScreen(const Services& services, TaskScreenRole role, QWidget* parent)
    : QWidget(parent), m_services(services), m_role(std::move(role)) {
    setObjectName(QString::fromLatin1(m_role.objectName));
    setWindowTitle(m_role.caption);
    buildFrame();
    buildMenu();

    m_requests = new RequestQueue(this);
    PagedListConfig config;
    config.command = m_role.pageCommand;
    config.failurePrefix = m_role.pageFailure;
    config.clearRows = [this] { clearRows(); };
    config.addRows = [this](const ReplyObject& reply) {
        const QDateTime now = m_services.clock.now();
        ReadTaskList(reply, m_role.pageReader, TaskManager,
                     [&](const TTaskInfo& task) { m_tasks->appendTask(task, TaskRowSource::Page, now); });
    };
    m_paging = new PagedList(this, m_services, m_navigation, std::move(config), *m_requests);
}

void TaskScreen::buildFrame() {
    resize(m_role.size);
    QFont screenFont(QStringLiteral("宋体"));
    screenFont.setPixelSize(12);
    setFont(screenFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* pnl_Top = new QFrame(this);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    pnl_Top->setFixedHeight(73);
    auto* top = new QHBoxLayout(pnl_Top);
    top->setContentsMargins(8, 4, 8, 4);
    auto* Image1 = new QLabel(pnl_Top);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(64, 64);
    Image1->setPixmap(StandardIcon(QStyle::SP_MessageBoxWarning).pixmap(64, 64));
    Image1->setAccessibleName(QStringLiteral("注意"));
    top->addWidget(Image1);
    auto* banner = new QLabel(m_role.bannerText, pnl_Top);
    banner->setObjectName(QString::fromLatin1(m_role.bannerName));
    QFont bannerFont(QStringLiteral("宋体"));
    bannerFont.setPixelSize(m_role.bannerPixelSize);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    if (m_role.bannerColour.isValid())
        banner->setStyleSheet(QStringLiteral("color: %1;").arg(m_role.bannerColour.name()));
    banner->setWordWrap(true);
    top->addWidget(banner, 1);
    layout->addWidget(pnl_Top);

    m_tasks = new TaskTableModel(m_role.columns, AccentColumn, this);
    m_list = new ListView(QStringLiteral("lv_task"), this);
    m_list->setModel(m_tasks);
    m_list->setColumns(m_tasks->columns());
    m_list->setRowsFitContent(true);
    m_list->setHandCursor(true);
    m_list->setIconSize(QSize(16, 16));
    layout->addWidget(m_list, 1);

    auto* pnl_Navigate = new QFrame(this);
    pnl_Navigate->setObjectName(QStringLiteral("pnl_Navigate"));
    pnl_Navigate->setFixedHeight(41);
    auto* bottom = new QHBoxLayout(pnl_Navigate);
    bottom->setContentsMargins(8, 0, 0, 0);
    auto* Label2 = new QLabel(QStringLiteral("任务ID："), pnl_Navigate);
    Label2->setObjectName(QStringLiteral("Label2"));
    bottom->addWidget(Label2);
    m_searchEdit = new QLineEdit(pnl_Navigate);
    m_searchEdit->setObjectName(QString::fromLatin1(m_role.searchEditName));
    m_searchEdit->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    m_searchEdit->setFixedWidth(180);
    Label2->setBuddy(m_searchEdit);
    bottom->addWidget(m_searchEdit);
    auto* btn_Search = new QPushButton(QStringLiteral("查找"), pnl_Navigate);
    btn_Search->setObjectName(QStringLiteral("btn_Search"));
    bottom->addWidget(btn_Search);
    m_navigation = new PageNavigationBar(pnl_Navigate);
    bottom->addWidget(m_navigation, 1);
    layout->addWidget(pnl_Navigate);
    setTabOrder(m_searchEdit, btn_Search);

    connect(btn_Search, &QPushButton::clicked, this, &TaskScreen::btn_SearchClick);
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &TaskScreen::btn_SearchClick);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &TaskScreen::showDetails);
}

void TaskScreen::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_menu->setToolTipsVisible(true);
    QHash<QString, QMenu*> submenus;
    for (const TaskMenuEntry& entry : m_role.menu) {
        QMenu* menu = entry.submenu ? submenus.value(QString::fromLatin1(entry.submenu), m_menu) : m_menu;
        if (!entry.name) {
            menu->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (!entry.run) {
            QMenu* submenu = AddSubmenu(menu, entry.name, entry.caption);
            submenus.insert(QString::fromLatin1(entry.name), submenu);
            action = submenu->menuAction();
        } else {
            action = AddMenuItem(menu, entry.name, entry.caption, entry.icon, entry.hint);
            connect(action, &QAction::triggered, this, [this, run = entry.run] { run(*this); });
        }
        if (entry.shownFor) m_ruledActions.append({entry.shownFor, action});
    }
    connect(m_menu, &QMenu::aboutToShow, this, &TaskScreen::PopupMenu1Popup);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_list->viewport()->mapToGlobal(at)); });
}

void TaskScreen::PopupMenu1Popup() {
    const std::optional<TTaskInfo> task = selectedTask();
    const TTaskActions offered = task ? GetTaskActions(m_role.rules, *task, m_services.clock.now()) : TTaskActions();
    for (const auto& [shownFor, action] : m_ruledActions) action->setVisible(bool(offered & shownFor));
    TidySeparators(m_menu);
}

void TaskScreen::clearRows() {
    // The store's dictionary and the list are emptied together; the rows hold copies.
    TaskManager.Clear(ReaderDictionary(m_role.pageReader));
    m_tasks->clear();
}

std::optional<TTaskInfo> TaskScreen::selectedTask() const { return m_tasks->task(m_list->selectedRow()); }

void TaskScreen::refresh() { m_paging->Fetch(); }

void TaskScreen::btn_SearchClick() {
    const QString taskid = TrimText(m_searchEdit->text());
    if (taskid.isEmpty()) {
        ShowHint(m_services.prompter, this, m_role.emptySearchHint);
        return;
    }
    m_requests->fetch([this, taskid] { search(taskid); });
}

void TaskScreen::search(const QString& taskid) {
    RunGuarded(m_services, this, [&] {
        clearRows();
        const auto reply = SendCommand(m_services, this, m_role.searchCommand, {taskid}, m_role.searchFailure);
        if (!reply || m_requests->isSuperseded() || !reply->done()) return;
        const int total = ReplyTotalNum(reply->object);
        m_paging->CalculatePageInfo(total);
        if (m_role.searchShowsOnePage)
            m_navigation->showTotals(total, 1, 1);
        else
            m_navigation->showTotals(total, m_paging->FTotalPageCount, m_paging->FCurrentPageIndex);
        if (total < 1 && !m_role.nothingFoundHint.isEmpty()) {
            ShowHint(m_services.prompter, this, m_role.nothingFoundHint);
            return;
        }
        const QDateTime now = m_services.clock.now();
        ReadTaskList(reply->object, m_role.searchReader, TaskManager,
                     [&](const TTaskInfo& task) { m_tasks->appendTask(task, TaskRowSource::Search, now); });
    });
}

std::function<void(TaskScreen&)> RunLifecycle(LifecycleAction action) {
    return [action = std::move(action)](TaskScreen& screen) { screen.runLifecycle(action); };
}

void TaskScreen::runLifecycle(const LifecycleAction& action) {
    RunGuarded(m_services, this, [&] {
        // A copy: a reload while the question is up replaces the rows.
        const std::optional<TTaskInfo> task = selectedTask();
        if (!task) return;
        if (!AskConfirm(m_services.prompter, this, action.texts.question)) return;
        std::vector<CommandValue> values{task->Ftaskid};
        if (action.withStatus) values.emplace_back(int(task->Fstatus));
        if (action.moreValue) {
            const std::optional<QString> value = action.moreValue(*this);
            if (!value) return;
            values.emplace_back(*value);
        }
        m_requests->send([this, action, values] {
            RunGuarded(m_services, this, [&] {
                // True once the success box has closed: only then is the page fetched again.
                if (!SendLifecycleCommand(m_services, this, action.command, values, action.texts)) return;
                if (action.refreshesDashboard) emit requestDashboardRefresh();
                m_paging->PostReload();
            });
        });
    });
}

void TaskScreen::contact(QString TTaskInfo::*qq) {
    if (const std::optional<TTaskInfo> task = selectedTask()) OpenLink(m_services, this, QQChatLink((*task).*qq));
}

void TaskScreen::copyTaskId() {
    if (const std::optional<TTaskInfo> task = selectedTask()) CopyTaskIdToClipboard(m_services, this, *task);
}

void TaskScreen::showDetails() {
    const std::optional<TTaskInfo> task = selectedTask();
    if (!task) return;
    TfrmViewTaskInfo dialog(m_services, *task, this);
    dialog.exec();
}
