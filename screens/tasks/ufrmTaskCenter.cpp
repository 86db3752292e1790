#include "screens/tasks/ufrmTaskCenter.h"

#include "model/uCommonFunc.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/uTaskScreens.h"
#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The red column with the shield picture: "任务总价".
constexpr int AccentColumn = 3;

QLabel* noticeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(15);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
    return label;
}

ListView* hallList(const QString& name, TaskTableModel* tasks, QWidget* parent) {
    auto* list = new ListView(name, parent);
    list->setModel(tasks);
    list->setColumns(tasks->columns());
    list->setHandCursor(true);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setIconSize(QSize(16, 16));
    return list;
}

} // namespace

TfrmTaskCenter::TfrmTaskCenter(const Services& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmTaskCenter"));
    setWindowTitle(QStringLiteral("任务大厅"));
    buildHeader();
    buildTabs();
    buildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnl_Top);
    layout->addWidget(pgc_Main, 1);

    m_requests = new RequestQueue(this);
    FPagedList = new PagedList(this, FServices, pnl_Navigation,
                               PagedListConfig{
                                   .command = cmGetTaskCenterList,
                                   .failurePrefix = QStringLiteral("获取已发布任务列表失败，请稍后再试！"),
                                   .extraValues = [this] { return std::vector<CommandValue>{int(FTaskTimeType)}; },
                                   .clearRows =
                                       [this] {
                                           pgc_Main->setCurrentIndex(0);
                                           clearLists();
                                       },
                                   .addRows =
                                       [this](const ReplyObject& reply) {
                                           ReadTaskList(reply, trHallPage, TaskManager, [this](const TTaskInfo& task) {
                                               addTaskRow(task, TaskRowSource::Page);
                                           });
                                       },
                                   .onRefused = {},
                               },
                               *m_requests);
}

void TfrmTaskCenter::buildHeader() {
    pnl_Top = new QWidget(this);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    auto* Image1 = new QLabel(pnl_Top);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(TaskRowIcon(0).pixmap(48, 48));
    Image1->setFixedSize(56, 56);
    Image1->setAlignment(Qt::AlignCenter);
    QLabel* Label1 = noticeLabel(QStringLiteral("Label1"),
                                 QStringLiteral("注意：接任务时候请直接联系QQ，，不要联系旺旺！！！切记"), pnl_Top);
    QLabel* Label7 =
        noticeLabel(QStringLiteral("Label7"), QStringLiteral("     任务接手成功后，即可看到相互之间的联系QQ"), pnl_Top);
    auto* Label8 = new QLabel(QStringLiteral("任务类别："), pnl_Top);
    Label8->setObjectName(QStringLiteral("Label8"));

    FCategoryGroup = new QButtonGroup(this);
    FCategoryGroup->setExclusive(true);
    auto* categories = new QHBoxLayout;
    categories->setSpacing(2);
    categories->addWidget(Label8);
    const struct {
        const char* name;
        QString caption;
        TTaskTimeType category;
    } buttons[] = {
        {"btn_All", QStringLiteral("所有任务"), ttAll},  {"btn_2hour", QStringLiteral("2小时任务"), tt2Hour},
        {"btn_2day", QStringLiteral("2天任务"), tt2day}, {"btn_3day", QStringLiteral("3天任务"), tt3day},
        {"btn_4day", QStringLiteral("4天任务"), tt4day},
    };
    QWidget* previous = nullptr;
    for (const auto& b : buttons) {
        auto* button = new QToolButton(pnl_Top);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(b.caption);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setMinimumWidth(80);
        button->setChecked(b.category == ttAll);
        FCategoryGroup->addButton(button, b.category);
        connect(button, &QToolButton::clicked, this, [this, category = b.category] { categoryClick(category); });
        categories->addWidget(button);
        if (previous) setTabOrder(previous, button);
        previous = button;
    }
    categories->addStretch(1);
    auto* notices = new QVBoxLayout;
    notices->addWidget(Label1);
    notices->addWidget(Label7);
    notices->addLayout(categories);
    auto* top = new QHBoxLayout(pnl_Top);
    top->setContentsMargins(6, 6, 6, 6);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(notices, 1);
}

void TfrmTaskCenter::buildTabs() {
    pgc_Main = new QTabWidget(this);
    pgc_Main->setObjectName(QStringLiteral("pgc_Main"));
    pgc_Main->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 100px; height: 22px; }"));
    auto* ts_Unhandled = new QWidget;
    ts_Unhandled->setObjectName(QStringLiteral("ts_Unhandled"));
    auto* ts_Handled = new QWidget;
    ts_Handled->setObjectName(QStringLiteral("ts_Handled"));
    pgc_Main->addTab(ts_Unhandled, TaskRowIcon(0), QStringLiteral("可接任务"));
    pgc_Main->addTab(ts_Handled, TaskRowIcon(1), QStringLiteral("已接任务"));

    m_openTasks = new TaskTableModel(HallColumns(true), AccentColumn, this);
    m_takenTasks = new TaskTableModel(HallColumns(false), AccentColumn, this);
    lv_task = hallList(QStringLiteral("lv_task"), m_openTasks, ts_Unhandled);
    lv_handledtask = hallList(QStringLiteral("lv_handledtask"), m_takenTasks, ts_Handled);

    pnl_Navigation = new PageNavigationBar(ts_Unhandled);
    // The search sits at the left end of the navigation bar.
    auto* Label2 = new QLabel(QStringLiteral("任务ID："), pnl_Navigation);
    Label2->setObjectName(QStringLiteral("Label2"));
    edt_TaskID = new QLineEdit(pnl_Navigation);
    edt_TaskID->setObjectName(QStringLiteral("edt_TaskID"));
    edt_TaskID->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    edt_TaskID->setMinimumWidth(180);
    Label2->setBuddy(edt_TaskID);
    auto* btn_Search = new QPushButton(QStringLiteral("查找"), pnl_Navigation);
    btn_Search->setObjectName(QStringLiteral("btn_Search"));
    if (auto* bar = qobject_cast<QBoxLayout*>(pnl_Navigation->layout())) {
        bar->insertWidget(0, Label2);
        bar->insertWidget(1, edt_TaskID);
        bar->insertWidget(2, btn_Search);
    }
    connect(edt_TaskID, &QLineEdit::returnPressed, this, &TfrmTaskCenter::btn_SearchClick);
    connect(btn_Search, &QPushButton::clicked, this, &TfrmTaskCenter::btn_SearchClick);

    auto* unhandled = new QVBoxLayout(ts_Unhandled);
    unhandled->setContentsMargins(0, 0, 0, 0);
    unhandled->setSpacing(0);
    unhandled->addWidget(lv_task, 1);
    unhandled->addWidget(pnl_Navigation);
    auto* handled = new QVBoxLayout(ts_Handled);
    handled->setContentsMargins(0, 0, 0, 0);
    handled->addWidget(lv_handledtask);

    setTabOrder(FCategoryGroup->button(tt4day), pgc_Main);
    setTabOrder(pgc_Main, lv_task);
    setTabOrder(lv_task, edt_TaskID);
    setTabOrder(edt_TaskID, btn_Search);
}

void TfrmTaskCenter::buildMenus() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(AddMenuItem(PopupMenu1, "N_N2", QStringLiteral("刷新")), &QAction::triggered, this,
            &TfrmTaskCenter::N_N2Click);
    connect(AddMenuItem(PopupMenu1, "N1", QStringLiteral("接手该任务")), &QAction::triggered, this,
            &TfrmTaskCenter::N1Click);
    connect(AddMenuItem(PopupMenu1, "N_CopyTaskID", QStringLiteral("复制任务ID")), &QAction::triggered, this,
            &TfrmTaskCenter::N_CopyTaskIDClick);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    connect(AddMenuItem(PopupMenu2, "N_CopyTaskID2", QStringLiteral("复制任务ID")), &QAction::triggered, this,
            &TfrmTaskCenter::N_CopyTaskID2Click);
    connect(lv_task, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(lv_task->viewport()->mapToGlobal(at)); });
    connect(lv_handledtask, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(lv_handledtask->viewport()->mapToGlobal(at)); });
}

void TfrmTaskCenter::GetTaskListFromTaskCenter() { FPagedList->Fetch(); }

void TfrmTaskCenter::OnWM_GetTaskListFromTaskCenter() { FPagedList->PostReload(); }

void TfrmTaskCenter::N_N2Click() { GetTaskListFromTaskCenter(); }

void TfrmTaskCenter::categoryClick(TTaskTimeType category) {
    FTaskTimeType = category;
    FPagedList->FCurrentPageIndex = 1;
    OnWM_GetTaskListFromTaskCenter();
}

void TfrmTaskCenter::clearLists() {
    // The store's dictionary and the lists are emptied together; the rows hold copies.
    TaskManager.ClearTaskCenterTaskInfo();
    m_openTasks->clear();
    m_takenTasks->clear();
}

void TfrmTaskCenter::addTaskRow(const TTaskInfo& task, TaskRowSource source) {
    TaskTableModel* tasks = task.Fstatus == tsWaitforHandle ? m_openTasks : m_takenTasks;
    tasks->appendTask(task, source, FServices.clock.now());
}

void TfrmTaskCenter::btn_SearchClick() {
    const QString taskId = TrimText(edt_TaskID->text());
    if (taskId.isEmpty()) {
        ShowHint(FServices.prompter, this, QStringLiteral("请输入要查找的任务ID!"));
        return;
    }
    m_requests->fetch([this, taskId] { search(taskId); });
}

void TfrmTaskCenter::search(const QString& taskId) {
    RunGuarded(FServices, this, [&] {
        clearLists();
        const auto reply =
            SendCommand(FServices, this, cmSearchTaskCenter, {taskId}, QStringLiteral("搜索任务失败，请稍后再试！"));
        if (!reply || m_requests->isSuperseded() || !reply->done()) return;
        // The bar shows the search's totals; the page index stays, so paging returns to it.
        const int total = ReplyTotalNum(reply->object);
        FPagedList->CalculatePageInfo(total);
        pnl_Navigation->showTotals(total, FPagedList->FTotalPageCount, FPagedList->FCurrentPageIndex);
        ReadTaskList(reply->object, trHallSearch, TaskManager,
                     [this](const TTaskInfo& task) { addTaskRow(task, TaskRowSource::Search); });
    });
}

std::optional<TTaskInfo> TfrmTaskCenter::selectedTask(const ListView* list, const TaskTableModel* tasks) const {
    return tasks->task(list->selectedRow());
}

void TfrmTaskCenter::N1Click() {
    RunGuarded(FServices, this, [this] {
        // A copy: a reload that runs while the question is up replaces the rows.
        const std::optional<TTaskInfo> task = selectedTask(lv_task, m_openTasks);
        if (!task) return;
        if (!AskConfirm(FServices.prompter, this, QStringLiteral("确定要接手此任务吗?"))) return;
        m_requests->send([this, taskId = task->Ftaskid] {
            RunGuarded(FServices, this, [&] {
                const LifecycleTexts texts{
                    .question = {},
                    .success = QStringLiteral("恭喜，任务接手成功，请尽快完成支付操作！"),
                    .refusedPrefix = QStringLiteral("任务接手失败"),
                    .transportPrefix = QStringLiteral("接手任务失败，请稍后再试！"),
                };
                // True once the success box has closed: only then is the reload posted.
                if (SendLifecycleCommand(FServices, this, cmHandleTask, {taskId, CurrentUser().Fid}, texts))
                    OnWM_GetTaskListFromTaskCenter();
            });
        });
    });
}

void TfrmTaskCenter::copyTaskId(const ListView* list, const TaskTableModel* tasks) {
    if (const std::optional<TTaskInfo> task = selectedTask(list, tasks)) CopyTaskIdToClipboard(FServices, this, *task);
}

void TfrmTaskCenter::N_CopyTaskIDClick() { copyTaskId(lv_task, m_openTasks); }

void TfrmTaskCenter::N_CopyTaskID2Click() { copyTaskId(lv_handledtask, m_takenTasks); }
