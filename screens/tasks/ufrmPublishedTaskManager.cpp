#include "screens/tasks/ufrmPublishedTaskManager.h"

namespace {

// The minutes of an extension, asked for after the question: a whole number above 0, sent as typed
// (trimmed). Cancel or anything else ends the action.
std::optional<QString> askExtensionMinutes(TaskScreen& screen) {
    Prompter& prompter = screen.services().prompter;
    const std::optional<QString> typed = prompter.askText(
        &screen, QStringLiteral("延长付款时限"), QStringLiteral("请输入时长(单位：分)："), QStringLiteral("15"));
    if (!typed) return std::nullopt;
    const QString text = TrimText(*typed);
    bool isInteger = false;
    const int value = text.toInt(&isInteger, 10);
    if (!isInteger || value <= 0) {
        ShowHint(prompter, &screen, QStringLiteral("请输入正确的延长期限，数字！！！"), MessageIcon::Error);
        return std::nullopt;
    }
    return text;
}

TaskScreenRole publisherRole() {
    return {
        .objectName = "frmPublishedTaskManager",
        .caption = QStringLiteral("已发布任务管理"),
        .size = QSize(868, 571),
        .bannerName = "Label9",
        .bannerText = QStringLiteral("已发布任务在点击确认发货前，如果需要物流单号，请联系在线客服获取"),
        .bannerPixelSize = 16,
        .bannerColour = QColor(),
        .searchEditName = "edt_taskid",
        .columns = PublishedTaskColumns(),
        .rules = rlPublisher,
        .pageCommand = cmGetPublishedTaskList,
        .pageReader = trPublishedPage,
        .pageFailure = QStringLiteral("获取已发布任务列表失败，请稍后再试！"),
        .searchCommand = cmSearchPublishedTask,
        .searchReader = trPublishedSearch,
        .searchFailure = QStringLiteral("搜索任务失败，请稍后再试！"),
        .emptySearchHint = QStringLiteral("请输入要查找的任务ID!"),
        .searchShowsOnePage = false,
        .nothingFoundHint = QStringLiteral("没有搜索到相关任务！"),
        .menu =
            {
                {"N_Refresh", QStringLiteral("刷新"), -1, {}, nullptr, {}, &TaskScreen::refresh},
                {},
                {"N_NoPayontime", QStringLiteral("接单人未按时支付货款"), -1, {}, nullptr, taPublisherNoPayOnTime, {}},
                {"N_AddfukuanTime",
                 QStringLiteral("延长接单人付款时限"),
                 4,
                 {},
                 "N_NoPayontime",
                 {},
                 RunLifecycle(
                     {cmExtendPayTime,
                      false,
                      {QStringLiteral("确定要延长此任务的付款时限吗?"),
                       QStringLiteral("恭喜，延长接单人付款时限成功！"), QStringLiteral("延长接单人付款时限失败"),
                       QStringLiteral("延长接单人付款时限失败，请稍后再试！")},
                      askExtensionMinutes})},
                {"N_CancelTaskNoPayOnTime",
                 QStringLiteral("取消此次交易，将任务放入任务大厅"),
                 2,
                 {},
                 "N_NoPayontime",
                 {},
                 RunLifecycle({cmCancelTaskNoPayOnTime,
                               false,
                               {QStringLiteral("确定要取消此任务吗?"), QStringLiteral("恭喜，取消任务成功！"),
                                QStringLiteral("取消任务失败"), QStringLiteral("取消任务失败，请稍后再试！")}})},
                {"N_Yifahuo", QStringLiteral("确认已发货"), 11,
                 QStringLiteral("确认接单人已付款，并且发单人已发货，等待接单人确认收货并好评"), nullptr,
                 taSetDelivered,
                 RunLifecycle(
                     {cmSetDelivered,
                      true,
                      {QStringLiteral("确定此任务已发货吗?"), QStringLiteral("恭喜，设置此任务已发货成功！"),
                       QStringLiteral("设置此任务已发货失败"), QStringLiteral("设置此任务已发货失败，请稍后再试！")}})},
                {"N_ConfirmReplyAndtaskComplete", QStringLiteral("确认好评，交易完成"), 10,
                 QStringLiteral("确认接单人已按照规定填写好评，交易完成"), nullptr, taConfirmReplyAndComplete,
                 RunLifecycle({cmConfirmReplyAndComplete,
                               true,
                               {QStringLiteral("确定此任务已好评，任务完成吗? 确定后你的余额会转入接单人账户中"),
                                QStringLiteral("恭喜，任务完成！"), QStringLiteral("设置任务状态失败"),
                                QStringLiteral("设置此任务状态失败，请稍后再试！")}})},
                {},
                {"N_DeleteTask",
                 QStringLiteral("彻底删除任务"),
                 2,
                 {},
                 nullptr,
                 taDeleteTask,
                 // The task money returns to the balance: the dashboard reloads before the list.
                 RunLifecycle({cmDeleteTask,
                               false,
                               {QStringLiteral("确定要彻底删除此任务吗，任务金额会返回账户余额?"),
                                QStringLiteral("恭喜，彻底删除任务成功！"), QStringLiteral("彻底删除任务失败"),
                                QStringLiteral("彻底删除任务失败，请稍后再试！")},
                               {},
                               true})},
                {"N_ConnectHandler",
                 QStringLiteral("联系接单人"),
                 3,
                 {},
                 nullptr,
                 {},
                 [](TaskScreen& screen) { screen.contact(&TTaskInfo::Fhandlerqq); }},
                {"N_CopyTaskID", QStringLiteral("复制任务ID"), 1, {}, nullptr, {}, &TaskScreen::copyTaskId},
                {"N_ViewTaskInfo", QStringLiteral("查看任务详情"), -1, {}, nullptr, {}, &TaskScreen::showDetails},
            },
    };
}

} // namespace

TfrmPublishedTaskManager::TfrmPublishedTaskManager(const Services& services, QWidget* parent)
    : TaskScreen(services, publisherRole(), parent) {}
