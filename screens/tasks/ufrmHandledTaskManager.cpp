#include "screens/tasks/ufrmHandledTaskManager.h"

#include "model/uCommonFunc.h"
#include "model/uTaskManagerClass.h"
#include "model/uVarConst.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "screens/tasks/uPagedList.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

const QString FetchFailure = QStringLiteral("获取已接手任务列表失败，请稍后再试！");

// Column 3 of a search row: the publisher's name, shop-keeper name and QQ on three lines.
QString PublisherLines(const TTaskInfo& task) {
    return task.Fpublisherusername + QStringLiteral("\r\n掌柜名[") + task.Fpublishershopkeeperusername +
           QStringLiteral("]\r\n联系QQ[") + task.Fpublisherqq + QStringLiteral("]");
}

} // namespace

TfrmHandledTaskManager::TfrmHandledTaskManager(const TServices& services, QWidget* parent)
    : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmHandledTaskManager"));
    setWindowTitle(QStringLiteral("已接手任务管理"));
    buildWindow();
    buildMenu();

    TPagedListConfig config;
    config.command = cmGetHandledTaskList;
    config.failurePrefix = FetchFailure;
    config.clearRows = [this] {
        TaskManager.ClearHandledTaskInfo();
        lv_task->clearRows();
    };
    config.addRows = [this](const TReplyObject& reply) { addPageRows(reply); };
    FPagedList = new TPagedList(this, FServices, FNavigation, std::move(config));
}

void TfrmHandledTaskManager::buildWindow() {
    QFont bannerFont(QStringLiteral("宋体"));
    bannerFont.setPixelSize(15);
    bannerFont.setBold(true);
    const Qt::Alignment centre = Qt::AlignCenter;
    const TTaskScreenFrame frame = BuildTaskScreenFrame(
        this, {QSize(912, 566), "Label1",
               QStringLiteral("注意：请在任务接手后15分钟内支付货款，支付时间过期后，你需要联系发单人进行支付延时操作"),
               bannerFont, QColor(255, 0, 0), "edt_TaskID",
               {{QStringLiteral("ID"), 40},
                {QStringLiteral("任务编号"), 120, centre},
                {QStringLiteral("下单日期"), 130, centre},
                {QStringLiteral("发布人"), 100, centre},
                {QStringLiteral("联系QQ"), 90},
                {QStringLiteral("接单日期"), 130, centre},
                {QStringLiteral("总金额"), 80, centre},
                {QStringLiteral("订单状态"), 200, centre}}});
    Image1 = frame.Image1;
    Label1 = frame.banner;
    lv_task = frame.lv_task;
    edt_TaskID = frame.edt_search;
    btn_Search = frame.btn_Search;
    FNavigation = frame.navigation;

    connect(btn_Search, &QPushButton::clicked, this, &TfrmHandledTaskManager::btn_SearchClick);
    connect(edt_TaskID, &QLineEdit::returnPressed, this, &TfrmHandledTaskManager::btn_SearchClick);
    connect(lv_task, &QTableWidget::cellDoubleClicked, this, &TfrmHandledTaskManager::N_ViewTaskInfoClick);
}

void TfrmHandledTaskManager::buildMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setToolTipsVisible(true);
    N_N3 = AddMenuItem(PopupMenu1, "N_N3", QStringLiteral("刷新"));
    PopupMenu1->addSeparator();
    N_NoPayOnTime = AddSubmenu(PopupMenu1, "N_NoPayOnTime", QStringLiteral("未按时付款"));
    N_AddPayTime = AddMenuItem(N_NoPayOnTime, "N_AddPayTime", QStringLiteral("联系发单人加时"));
    N1 = AddMenuItem(N_NoPayOnTime, "N1", QStringLiteral("取消任务"));
    N_ConfirmHasPay = AddMenuItem(PopupMenu1, "N_ConfirmHasPay", QStringLiteral("确认已支付货款"), 11,
                           QStringLiteral("确认已支付货款,提交给发单人审核并发货"));
    N_ConfirmShouhuoAndReply = AddMenuItem(PopupMenu1, "N_ConfirmShouhuoAndReply", QStringLiteral("确认已收货并好评"), 7,
                                    QStringLiteral("确认已收到货物，并且已填写好评，提交给卖家审核"));
    PopupMenu1->addSeparator();
    N_Back = AddMenuItem(PopupMenu1, "N_Back", QStringLiteral("返回上一步"), 16);
    PopupMenu1->addSeparator();
    N_ConnectPublisher = AddMenuItem(PopupMenu1, "N_ConnectPublisher", QStringLiteral("联系发单人"), 7);
    N_CopyTaskID = AddMenuItem(PopupMenu1, "N_CopyTaskID", QStringLiteral("复制任务ID"), 1);
    N_ViewTaskInfo = AddMenuItem(PopupMenu1, "N_ViewTaskInfo", QStringLiteral("查看任务详情"));

    connect(PopupMenu1, &QMenu::aboutToShow, this, &TfrmHandledTaskManager::PopupMenu1Popup);
    connect(lv_task, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(lv_task->viewport()->mapToGlobal(at)); });
    connect(N_N3, &QAction::triggered, this, &TfrmHandledTaskManager::N_N3Click);
    connect(N_AddPayTime, &QAction::triggered, this, &TfrmHandledTaskManager::N_ConnectPublisherClick);
    connect(N1, &QAction::triggered, this, &TfrmHandledTaskManager::N_CancelTask1Click);
    connect(N_ConfirmHasPay, &QAction::triggered, this, &TfrmHandledTaskManager::N_ConfirmHasPayClick);
    connect(N_ConfirmShouhuoAndReply, &QAction::triggered, this,
            &TfrmHandledTaskManager::N_ConfirmShouhuoAndReplyClick);
    connect(N_Back, &QAction::triggered, this, &TfrmHandledTaskManager::N_BackClick);
    connect(N_ConnectPublisher, &QAction::triggered, this, &TfrmHandledTaskManager::N_ConnectPublisherClick);
    connect(N_CopyTaskID, &QAction::triggered, this, &TfrmHandledTaskManager::N_CopyTaskIDClick);
    connect(N_ViewTaskInfo, &QAction::triggered, this, &TfrmHandledTaskManager::N_ViewTaskInfoClick);
}

void TfrmHandledTaskManager::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FPagedList->StartLoadTimer();
}

void TfrmHandledTaskManager::GetHandledTaskList() { FPagedList->Fetch(); }

void TfrmHandledTaskManager::OnWM_GetHandledTaskList() { GetHandledTaskList(); }

void TfrmHandledTaskManager::N_N3Click() { GetHandledTaskList(); }

void TfrmHandledTaskManager::addPageRows(const TReplyObject& reply) {
    ReadTaskList(reply, trHandledPage, TaskManager, [this](PTaskInfo task) {
        AddTaskRow(lv_task,
                   {QString(), task->Ftaskid, FormatDateTime(task->Fpublishtime), task->Fpublisherusername,
                    task->Fpublisherqq, FormatDateTime(task->Fhandletime), FormatMoney(task->Ftaskmoney),
                    GetTaskStatusText(*task, FServices.clock.now(), svListPage)},
                   task, 5);
    });
}

void TfrmHandledTaskManager::btn_SearchClick() {
    RunGuarded(FServices, this, [this] {
        const QString taskid = TrimText(edt_TaskID->text());
        if (taskid.isEmpty()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入待查找的任务ID！"));
            return;
        }
        TaskManager.ClearHandledTaskInfo();
        lv_task->clearRows();
        const auto reply = SendCommand(FServices, this, cmSearchHandledTask, {taskid}, FetchFailure);
        if (!reply || !reply->done()) return;
        const int total = ReplyTotalNum(reply->object);
        FPagedList->CalculatePageInfo(total);
        // A search shows one page whatever it found.
        FNavigation->showTotals(total, 1, 1);
        ReadTaskList(reply->object, trHandledSearch, TaskManager, [this](PTaskInfo task) {
            AddTaskRow(lv_task,
                       {QString(), task->Ftaskid, FormatDateTime(task->Fpublishtime), PublisherLines(*task),
                        task->Fpublisherqq, FormatDateTime(task->Fhandletime), FormatMoney(task->Ftaskmoney),
                        GetTaskStatusText(*task, FServices.clock.now(), svHandledSearch)},
                       task, 5);
        });
    });
}

void TfrmHandledTaskManager::PopupMenu1Popup() {
    N_NoPayOnTime->menuAction()->setVisible(false);
    N_ConfirmHasPay->setVisible(false);
    N_ConfirmShouhuoAndReply->setVisible(false);
    N_Back->setVisible(false);
    if (const PTaskInfo task = SelectedTask(lv_task)) {
        const TTaskActions actions = GetTaskActions(rlHandler, *task, FServices.clock.now());
        N_NoPayOnTime->menuAction()->setVisible(actions.testFlag(taHandlerNoPayOnTime));
        N_ConfirmHasPay->setVisible(actions.testFlag(taConfirmHasPay));
        N_ConfirmShouhuoAndReply->setVisible(actions.testFlag(taConfirmShouhuoAndReply));
        N_Back->setVisible(actions.testFlag(taBackTask));
    }
    TidySeparators(PopupMenu1);
}

void TfrmHandledTaskManager::runAction(TCommand command, bool withStatus, const TLifecycleTexts& texts) {
    RunGuarded(FServices, this, [&] {
        const PTaskInfo task = SelectedTask(lv_task);
        if (!task) return;
        // Copied before anything can reload the list and release the record.
        const QString taskid = task->Ftaskid;
        const int status = task->Fstatus;
        if (!AskConfirm(FServices.prompter, this, texts.question)) return;
        std::vector<TCommandValue> values{taskid};
        if (withStatus) values.emplace_back(status);
        if (SendLifecycleCommand(FServices, this, command, values, texts)) FPagedList->PostReload();
    });
}

void TfrmHandledTaskManager::N_ConfirmHasPayClick() {
    runAction(cmConfirmHasPay, true,
              {QStringLiteral("确定已支付货款，要提交吗?"), QStringLiteral("提交申请成功，请等待发单人审核并发货！"),
               QStringLiteral("提交申请失败"), QStringLiteral("提交申请失败，请稍后再试！")});
}

void TfrmHandledTaskManager::N_BackClick() {
    runAction(cmBackTask, true,
              {QStringLiteral("确定返回上一步吗?"), QStringLiteral("操作成功！"), QStringLiteral("操作失败"),
               QStringLiteral("操作失败，请稍后再试！")});
}

void TfrmHandledTaskManager::N_ConfirmShouhuoAndReplyClick() {
    runAction(cmConfirmShouhuoAndReply, true,
              {QStringLiteral("确定已收货并且已经好评，要提交吗?"),
               QStringLiteral("提交申请成功，请等待发单人审核并完成任务！"), QStringLiteral("提交申请失败"),
               QStringLiteral("提交申请失败，请稍后再试！")});
}

void TfrmHandledTaskManager::N_CancelTask1Click() {
    runAction(cmCancelHandledTask, false,
              {QStringLiteral("确定要取消此任务吗?"), QStringLiteral("恭喜，取消任务成功！"),
               QStringLiteral("取消任务失败"), QStringLiteral("取消任务失败，请稍后再试！")});
}

void TfrmHandledTaskManager::N_ConnectPublisherClick() {
    if (const PTaskInfo task = SelectedTask(lv_task)) OpenLink(FServices, this, QQChatLink(task->Fpublisherqq));
}

void TfrmHandledTaskManager::N_CopyTaskIDClick() {
    if (const PTaskInfo task = SelectedTask(lv_task)) CopyTaskIdToClipboard(FServices, this, *task);
}

void TfrmHandledTaskManager::N_ViewTaskInfoClick() {
    const PTaskInfo task = SelectedTask(lv_task);
    if (!task) return;
    // Modal: the list cannot reload while it is open, so the record stays valid.
    TfrmViewTaskInfo dialog(FServices, task, this);
    dialog.exec();
}
