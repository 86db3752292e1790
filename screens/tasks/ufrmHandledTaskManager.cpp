#include "screens/tasks/ufrmHandledTaskManager.h"

namespace {

TaskScreenRole handlerRole() {
    const auto contact = [](TaskScreen& screen) { screen.contact(&TTaskInfo::Fpublisherqq); };
    const QString fetchFailure = QStringLiteral("获取已接手任务列表失败，请稍后再试！");
    return {
        .objectName = "frmHandledTaskManager",
        .caption = QStringLiteral("已接手任务管理"),
        .size = QSize(912, 566),
        .bannerName = "Label1",
        .bannerText =
            QStringLiteral("注意：请在任务接手后15分钟内支付货款，支付时间过期后，你需要联系发单人进行支付延时操作"),
        .bannerPixelSize = 15,
        .bannerColour = QColor(255, 0, 0),
        .searchEditName = "edt_TaskID",
        .columns = HandledTaskColumns(),
        .rules = rlHandler,
        .pageCommand = cmGetHandledTaskList,
        .pageReader = trHandledPage,
        .pageFailure = fetchFailure,
        .searchCommand = cmSearchHandledTask,
        .searchReader = trHandledSearch,
        .searchFailure = fetchFailure,
        .emptySearchHint = QStringLiteral("请输入待查找的任务ID！"),
        .searchShowsOnePage = true,
        .nothingFoundHint = {},
        .menu =
            {
                {"N_N3", QStringLiteral("刷新"), -1, {}, nullptr, {}, &TaskScreen::refresh},
                {},
                {"N_NoPayOnTime", QStringLiteral("未按时付款"), -1, {}, nullptr, taHandlerNoPayOnTime, {}},
                {"N_AddPayTime", QStringLiteral("联系发单人加时"), -1, {}, "N_NoPayOnTime", {}, contact},
                {"N1",
                 QStringLiteral("取消任务"),
                 -1,
                 {},
                 "N_NoPayOnTime",
                 {},
                 RunLifecycle({cmCancelHandledTask,
                               false,
                               {QStringLiteral("确定要取消此任务吗?"), QStringLiteral("恭喜，取消任务成功！"),
                                QStringLiteral("取消任务失败"), QStringLiteral("取消任务失败，请稍后再试！")}})},
                {"N_ConfirmHasPay", QStringLiteral("确认已支付货款"), 11,
                 QStringLiteral("确认已支付货款,提交给发单人审核并发货"), nullptr, taConfirmHasPay,
                 RunLifecycle({cmConfirmHasPay,
                               true,
                               {QStringLiteral("确定已支付货款，要提交吗?"),
                                QStringLiteral("提交申请成功，请等待发单人审核并发货！"),
                                QStringLiteral("提交申请失败"), QStringLiteral("提交申请失败，请稍后再试！")}})},
                {"N_ConfirmShouhuoAndReply", QStringLiteral("确认已收货并好评"), 7,
                 QStringLiteral("确认已收到货物，并且已填写好评，提交给卖家审核"), nullptr, taConfirmShouhuoAndReply,
                 RunLifecycle({cmConfirmShouhuoAndReply,
                               true,
                               {QStringLiteral("确定已收货并且已经好评，要提交吗?"),
                                QStringLiteral("提交申请成功，请等待发单人审核并完成任务！"),
                                QStringLiteral("提交申请失败"), QStringLiteral("提交申请失败，请稍后再试！")}})},
                {},
                {"N_Back",
                 QStringLiteral("返回上一步"),
                 16,
                 {},
                 nullptr,
                 taBackTask,
                 RunLifecycle({cmBackTask,
                               true,
                               {QStringLiteral("确定返回上一步吗?"), QStringLiteral("操作成功！"),
                                QStringLiteral("操作失败"), QStringLiteral("操作失败，请稍后再试！")}})},
                {},
                {"N_ConnectPublisher", QStringLiteral("联系发单人"), 7, {}, nullptr, {}, contact},
                {"N_CopyTaskID", QStringLiteral("复制任务ID"), 1, {}, nullptr, {}, &TaskScreen::copyTaskId},
                {"N_ViewTaskInfo", QStringLiteral("查看任务详情"), -1, {}, nullptr, {}, &TaskScreen::showDetails},
            },
    };
}

} // namespace

TfrmHandledTaskManager::TfrmHandledTaskManager(const Services& services, QWidget* parent)
    : TaskScreen(services, handlerRole(), parent) {}
