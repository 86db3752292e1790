#include "screens/tasks/ufrmPublishedTaskManager.h"

#include "model/uCommonFunc.h"
#include "model/uTaskManagerClass.h"
#include "model/uVarConst.h"
#include "screens/tasks/ufrmViewTaskInfo.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {
const QString Untaken = QStringLiteral("-");
} // namespace

TfrmPublishedTaskManager::TfrmPublishedTaskManager(const TServices& services, QWidget* parent)
    : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmPublishedTaskManager"));
    setWindowTitle(QStringLiteral("已发布任务管理"));
    buildWindow();
    buildMenu();

    TPagedListConfig config;
    config.command = cmGetPublishedTaskList;
    config.failurePrefix = QStringLiteral("获取已发布任务列表失败，请稍后再试！");
    config.clearRows = [this] {
        TaskManager.ClearPublishedTaskInfo();
        lv_task->clearRows();
    };
    config.addRows = [this](const TReplyObject& reply) {
        ReadTaskList(reply, trPublishedPage, TaskManager, [this](PTaskInfo task) { addTaskRow(task, svListPage); });
    };
    FPagedList = new TPagedList(this, FServices, FNavigation, std::move(config));
}

void TfrmPublishedTaskManager::buildWindow() {
    QFont bannerFont(QStringLiteral("宋体"));
    bannerFont.setPixelSize(16);
    bannerFont.setBold(true);
    const Qt::Alignment centre = Qt::AlignCenter;
    const TTaskScreenFrame frame = BuildTaskScreenFrame(
        this, {QSize(868, 571), "Label9",
               QStringLiteral("已发布任务在点击确认发货前，如果需要物流单号，请联系在线客服获取"), bannerFont, QColor(),
               "edt_taskid",
               {{QStringLiteral("ID"), 40},
                {QStringLiteral("任务编号"), 120, centre},
                {QStringLiteral("发布日期"), 130, centre},
                {QStringLiteral("接单人"), 100, centre},
                {QStringLiteral("联系QQ"), 90},
                {QStringLiteral("接单时间"), 130, centre},
                {QStringLiteral("任务价格"), 80, centre},
                {QStringLiteral("任务状态"), 200, centre}}});
    Image1 = frame.Image1;
    Label9 = frame.banner;
    lv_task = frame.lv_task;
    edt_taskid = frame.edt_search;
    btn_Search = frame.btn_Search;
    FNavigation = frame.navigation;

    connect(btn_Search, &QPushButton::clicked, this, &TfrmPublishedTaskManager::btn_SearchClick);
    connect(edt_taskid, &QLineEdit::returnPressed, this, &TfrmPublishedTaskManager::btn_SearchClick);
    connect(lv_task, &QTableWidget::cellDoubleClicked, this, &TfrmPublishedTaskManager::N_ViewTaskInfoClick);
}

void TfrmPublishedTaskManager::buildMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setToolTipsVisible(true);
    N_Refresh = AddMenuItem(PopupMenu1, "N_Refresh", QStringLiteral("刷新"));
    PopupMenu1->addSeparator();
    N_NoPayontime = AddSubmenu(PopupMenu1, "N_NoPayontime", QStringLiteral("接单人未按时支付货款"));
    N_AddfukuanTime = AddMenuItem(N_NoPayontime, "N_AddfukuanTime", QStringLiteral("延长接单人付款时限"), 4);
    N_CancelTaskNoPayOnTime = AddMenuItem(N_NoPayontime, "N_CancelTaskNoPayOnTime",
                                          QStringLiteral("取消此次交易，将任务放入任务大厅"), 2);
    N_Yifahuo = AddMenuItem(PopupMenu1, "N_Yifahuo", QStringLiteral("确认已发货"), 11,
                            QStringLiteral("确认接单人已付款，并且发单人已发货，等待接单人确认收货并好评"));
    N_ConfirmReplyAndtaskComplete =
        AddMenuItem(PopupMenu1, "N_ConfirmReplyAndtaskComplete", QStringLiteral("确认好评，交易完成"), 10,
                    QStringLiteral("确认接单人已按照规定填写好评，交易完成"));
    PopupMenu1->addSeparator();
    N_DeleteTask = AddMenuItem(PopupMenu1, "N_DeleteTask", QStringLiteral("彻底删除任务"), 2);
    N_ConnectHandler = AddMenuItem(PopupMenu1, "N_ConnectHandler", QStringLiteral("联系接单人"), 3);
    N_CopyTaskID = AddMenuItem(PopupMenu1, "N_CopyTaskID", QStringLiteral("复制任务ID"), 1);
    N_ViewTaskInfo = AddMenuItem(PopupMenu1, "N_ViewTaskInfo", QStringLiteral("查看任务详情"));

    connect(PopupMenu1, &QMenu::aboutToShow, this, &TfrmPublishedTaskManager::PopupMenu1Popup);
    connect(lv_task, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(lv_task->viewport()->mapToGlobal(at)); });
    connect(N_Refresh, &QAction::triggered, this, &TfrmPublishedTaskManager::N_RefreshClick);
    connect(N_AddfukuanTime, &QAction::triggered, this, &TfrmPublishedTaskManager::N_AddfukuanTimeClick);
    connect(N_CancelTaskNoPayOnTime, &QAction::triggered, this,
            &TfrmPublishedTaskManager::N_CancelTaskNoPayOnTimeClick);
    connect(N_Yifahuo, &QAction::triggered, this, &TfrmPublishedTaskManager::N_YifahuoClick);
    connect(N_ConfirmReplyAndtaskComplete, &QAction::triggered, this,
            &TfrmPublishedTaskManager::N_ConfirmReplyAndtaskCompleteClick);
    connect(N_DeleteTask, &QAction::triggered, this, &TfrmPublishedTaskManager::N_DeleteTaskClick);
    connect(N_ConnectHandler, &QAction::triggered, this, &TfrmPublishedTaskManager::N_ConnectHandlerClick);
    connect(N_CopyTaskID, &QAction::triggered, this, &TfrmPublishedTaskManager::N_CopyTaskIDClick);
    connect(N_ViewTaskInfo, &QAction::triggered, this, &TfrmPublishedTaskManager::N_ViewTaskInfoClick);
}

void TfrmPublishedTaskManager::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FPagedList->StartLoadTimer();
}

void TfrmPublishedTaskManager::GetPublishedTaskList() { FPagedList->Fetch(); }

void TfrmPublishedTaskManager::OnWM_GetPublishedTaskList() { GetPublishedTaskList(); }

void TfrmPublishedTaskManager::N_RefreshClick() { GetPublishedTaskList(); }

void TfrmPublishedTaskManager::addTaskRow(PTaskInfo task, TStatusTextVariant variant) {
    const bool taken = task->Fstatus != tsWaitforHandle;
    AddTaskRow(lv_task,
               {QString(), task->Ftaskid, FormatDateTime(task->Fpublishtime),
                taken ? task->Fhandlerusername : Untaken, taken ? task->Fhandlerqq : Untaken,
                taken ? FormatDateTime(task->Fhandletime) : Untaken, FormatMoney(task->Ftaskmoney),
                GetTaskStatusText(*task, FServices.clock.now(), variant)},
               task, 5);
}

void TfrmPublishedTaskManager::btn_SearchClick() {
    RunGuarded(FServices, this, [this] {
        const QString taskid = TrimText(edt_taskid->text());
        if (taskid.isEmpty()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入要查找的任务ID!"));
            return;
        }
        TaskManager.ClearPublishedTaskInfo();
        lv_task->clearRows();
        const auto reply =
            SendCommand(FServices, this, cmSearchPublishedTask, {taskid}, QStringLiteral("搜索任务失败，请稍后再试！"));
        if (!reply || !reply->done()) return;
        const int total = ReplyTotalNum(reply->object);
        FPagedList->CalculatePageInfo(total);
        FNavigation->showTotals(total, FPagedList->FTotalPageCount, FPagedList->FCurrentPageIndex);
        if (total < 1) {
            ShowHint(FServices.prompter, this, QStringLiteral("没有搜索到相关任务！"));
            return;
        }
        ReadTaskList(reply->object, trPublishedSearch, TaskManager,
                     [this](PTaskInfo task) { addTaskRow(task, svPublishedSearch); });
    });
}

void TfrmPublishedTaskManager::PopupMenu1Popup() {
    N_NoPayontime->menuAction()->setVisible(false);
    N_Yifahuo->setVisible(false);
    N_ConfirmReplyAndtaskComplete->setVisible(false);
    N_DeleteTask->setVisible(false);
    if (const PTaskInfo task = SelectedTask(lv_task)) {
        const TTaskActions actions = GetTaskActions(rlPublisher, *task, FServices.clock.now());
        N_NoPayontime->menuAction()->setVisible(actions.testFlag(taPublisherNoPayOnTime));
        N_Yifahuo->setVisible(actions.testFlag(taSetDelivered));
        N_ConfirmReplyAndtaskComplete->setVisible(actions.testFlag(taConfirmReplyAndComplete));
        N_DeleteTask->setVisible(actions.testFlag(taDeleteTask));
    }
    TidySeparators(PopupMenu1);
}

bool TfrmPublishedTaskManager::runAction(TCommand command, bool withStatus, const TLifecycleTexts& texts,
                                         const std::function<std::optional<QString>()>& moreValue) {
    bool done = false;
    RunGuarded(FServices, this, [&] {
        const PTaskInfo task = SelectedTask(lv_task);
        if (!task) return;
        // Copied before anything can reload the list and release the record.
        const QString taskid = task->Ftaskid;
        const int status = task->Fstatus;
        if (!AskConfirm(FServices.prompter, this, texts.question)) return;
        std::vector<TCommandValue> values{taskid};
        if (withStatus) values.emplace_back(status);
        if (moreValue) {
            const std::optional<QString> value = moreValue();
            if (!value) return;
            values.emplace_back(*value);
        }
        done = SendLifecycleCommand(FServices, this, command, values, texts);
    });
    return done;
}

void TfrmPublishedTaskManager::N_AddfukuanTimeClick() {
    const auto minutes = [this]() -> std::optional<QString> {
        const std::optional<QString> typed = FServices.prompter.askText(
            this, QStringLiteral("延长付款时限"), QStringLiteral("请输入时长(单位：分)："), QStringLiteral("15"));
        if (!typed) return std::nullopt;
        const QString text = TrimText(*typed);
        bool isInteger = false;
        const int value = text.toInt(&isInteger, 10);
        if (!isInteger || value <= 0) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入正确的延长期限，数字！！！"), TMsgIcon::Error);
            return std::nullopt;
        }
        return text; // sent as typed
    };
    if (runAction(cmExtendPayTime, false,
                  {QStringLiteral("确定要延长此任务的付款时限吗?"), QStringLiteral("恭喜，延长接单人付款时限成功！"),
                   QStringLiteral("延长接单人付款时限失败"), QStringLiteral("延长接单人付款时限失败，请稍后再试！")},
                  minutes))
        FPagedList->PostReload();
}

void TfrmPublishedTaskManager::N_CancelTaskNoPayOnTimeClick() {
    if (runAction(cmCancelTaskNoPayOnTime, false,
                  {QStringLiteral("确定要取消此任务吗?"), QStringLiteral("恭喜，取消任务成功！"),
                   QStringLiteral("取消任务失败"), QStringLiteral("取消任务失败，请稍后再试！")}))
        FPagedList->PostReload();
}

void TfrmPublishedTaskManager::N_YifahuoClick() {
    if (runAction(cmSetDelivered, true,
                  {QStringLiteral("确定此任务已发货吗?"), QStringLiteral("恭喜，设置此任务已发货成功！"),
                   QStringLiteral("设置此任务已发货失败"), QStringLiteral("设置此任务已发货失败，请稍后再试！")}))
        FPagedList->PostReload();
}

void TfrmPublishedTaskManager::N_ConfirmReplyAndtaskCompleteClick() {
    if (runAction(cmConfirmReplyAndComplete, true,
                  {QStringLiteral("确定此任务已好评，任务完成吗? 确定后你的余额会转入接单人账户中"),
                   QStringLiteral("恭喜，任务完成！"), QStringLiteral("设置任务状态失败"),
                   QStringLiteral("设置此任务状态失败，请稍后再试！")}))
        FPagedList->PostReload();
}

void TfrmPublishedTaskManager::N_DeleteTaskClick() {
    if (!runAction(cmDeleteTask, false,
                   {QStringLiteral("确定要彻底删除此任务吗，任务金额会返回账户余额?"),
                    QStringLiteral("恭喜，彻底删除任务成功！"), QStringLiteral("彻底删除任务失败"),
                    QStringLiteral("彻底删除任务失败，请稍后再试！")}))
        return;
    // The task money is back in the balance: the dashboard reloads its figures before the list.
    emit requestDashboardRefresh();
    FPagedList->PostReload();
}

void TfrmPublishedTaskManager::N_ConnectHandlerClick() {
    if (const PTaskInfo task = SelectedTask(lv_task)) OpenLink(FServices, this, QQChatLink(task->Fhandlerqq));
}

void TfrmPublishedTaskManager::N_CopyTaskIDClick() {
    if (const PTaskInfo task = SelectedTask(lv_task)) CopyTaskIdToClipboard(FServices, this, *task);
}

void TfrmPublishedTaskManager::N_ViewTaskInfoClick() {
    const PTaskInfo task = SelectedTask(lv_task);
    if (!task) return;
    // Modal: the list cannot reload while it is open, so the record stays valid.
    TfrmViewTaskInfo dialog(FServices, task, this);
    dialog.exec();
}
