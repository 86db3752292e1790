#include "screens/tasks/ufrmViewTaskInfo.h"

#include "model/uAccountInput.h"
#include "model/uVarConst.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The contact icon beside the publisher and the handler: a round badge reading "QQ".
QIcon qqIcon() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(18, 150, 219));
    painter.drawEllipse(QRectF(1, 1, 22, 22));
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(1, 1, 22, 22), Qt::AlignCenter, QStringLiteral("QQ"));
    return QIcon(pixmap);
}

QToolButton* contactButton(const QString& name, const QString& hint, const QIcon& icon, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    return button;
}

template <class TControl> TControl* named(TControl* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

TfrmViewTaskInfo::TfrmViewTaskInfo(const Services& services, const TTaskInfo& ATaskInfo, QWidget* parent)
    : QDialog(parent), FServices(services), FTaskInfo(ATaskInfo), FPublisherQQ(ATaskInfo.Fpublisherqq),
      FHandlerQQ(ATaskInfo.Fhandlerqq) {
    setObjectName(QStringLiteral("frmViewTaskInfo"));
    setWindowTitle(QStringLiteral("查看任务详情"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(560, 480);
    const QIcon contact = qqIcon();

    // ---- Basic facts.
    grp_Basic = named(new QGroupBox(QStringLiteral("基本概况："), this), "grp_Basic");
    lbl_taskid = named(new QLabel(QStringLiteral("任务ID："), grp_Basic), "lbl_taskid");
    lbl_PublishTime = named(new QLabel(QStringLiteral("发布日期："), grp_Basic), "lbl_PublishTime");
    lbl_TaskStatus = named(new QLabel(QStringLiteral("任务状态："), grp_Basic), "lbl_TaskStatus");
    for (QLabel* label : {lbl_taskid, lbl_PublishTime, lbl_TaskStatus}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setTextFormat(Qt::PlainText); // the task's texts come from the server
    }
    auto* basic = new QGridLayout(grp_Basic);
    basic->addWidget(lbl_taskid, 0, 0);
    basic->addWidget(lbl_PublishTime, 0, 1);
    basic->addWidget(lbl_TaskStatus, 1, 0);

    // ---- Details, two tabs.
    grp_Detail = named(new QGroupBox(QStringLiteral("任务详情："), this), "grp_Detail");
    PageControl1 = named(new QTabWidget(grp_Detail), "PageControl1");
    auto* detail = new QVBoxLayout(grp_Detail);
    detail->setContentsMargins(10, 10, 10, 10);
    detail->addWidget(PageControl1);

    ts_Publish = named(new QWidget, "ts_Publish");
    edt_taskmoney = named(new QLineEdit(ts_Publish), "edt_taskmoney");
    edt_publisher = named(new QLineEdit(ts_Publish), "edt_publisher");
    edt_publisher->setReadOnly(true);
    img_QQPublisher =
        contactButton(QStringLiteral("img_QQPublisher"), QStringLiteral("联系发单人"), contact, ts_Publish);
    edt_publishershopkeeperusername = named(new QLineEdit(ts_Publish), "edt_publishershopkeeperusername");
    edt_publishershopkeeperusername->setReadOnly(true);
    edt_goodskeyword = named(new QLineEdit(ts_Publish), "edt_goodskeyword");
    edt_replymsg = named(new QLineEdit(ts_Publish), "edt_replymsg");
    edt_ShouldreplyTime = named(new QLineEdit(ts_Publish), "edt_ShouldreplyTime");
    mmo_detailrequirement = named(new QPlainTextEdit(ts_Publish), "mmo_detailrequirement");
    mmo_detailrequirement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* publish = new QGridLayout(ts_Publish);
    auto row = [this, publish](int at, const char* labelName, const QString& caption, QWidget* box) {
        auto* label = named(new QLabel(caption, ts_Publish), labelName);
        label->setBuddy(box);
        publish->addWidget(label, at, 0, Qt::AlignRight | (at == 6 ? Qt::AlignTop : Qt::AlignVCenter));
        publish->addWidget(box, at, 1);
        return label;
    };
    row(0, "Label1", QStringLiteral("任务金额："), edt_taskmoney);
    row(1, "Label2", QStringLiteral("发布人："), edt_publisher);
    publish->addWidget(img_QQPublisher, 1, 2);
    row(2, "Label7", QStringLiteral("掌柜名："), edt_publishershopkeeperusername);
    row(3, "Label4", QStringLiteral("商品关键词："), edt_goodskeyword);
    row(4, "Label3", QStringLiteral("好评评语："), edt_replymsg);
    Label6 = row(5, "Label6", QStringLiteral("要求好评时间："), edt_ShouldreplyTime);
    Label6->setToolTip(QStringLiteral("发布方发货后，接手方需等待，到时间后才能好评！"));
    row(6, "Label13", QStringLiteral("其他具体要求："), mmo_detailrequirement);
    publish->setRowStretch(6, 1);

    ts_Handler = named(new QWidget, "ts_Handler");
    pnl_UnHandle = named(new QWidget(ts_Handler), "pnl_UnHandle");
    Label5 = named(new QLabel(QStringLiteral("此任务尚未被接手！"), pnl_UnHandle), "Label5");
    Label5->setAlignment(Qt::AlignCenter);
    QFont bold = Label5->font();
    bold.setPixelSize(13);
    bold.setBold(true);
    Label5->setFont(bold);
    QPalette blue = Label5->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label5->setPalette(blue);
    auto* unhandled = new QVBoxLayout(pnl_UnHandle);
    unhandled->setContentsMargins(0, 12, 0, 12);
    unhandled->addWidget(Label5);

    pnl_Info = named(new QWidget(ts_Handler), "pnl_Info");
    lbl_Handlerusername = named(new QLabel(QStringLiteral("接单人："), pnl_Info), "lbl_Handlerusername");
    lbl_handlershopkeeperusername =
        named(new QLabel(QStringLiteral("掌柜名："), pnl_Info), "lbl_handlershopkeeperusername");
    lbl_handlertaobaoxiaohao = named(new QLabel(QStringLiteral("买入小号："), pnl_Info), "lbl_handlertaobaoxiaohao");
    lbl_handlerqq = named(new QLabel(QStringLiteral("联系QQ："), pnl_Info), "lbl_handlerqq");
    img_QQHandler = contactButton(QStringLiteral("img_QQHandler"), QStringLiteral("联系接单人"), contact, pnl_Info);
    lbl_HandleTime = named(new QLabel(QStringLiteral("接手日期："), pnl_Info), "lbl_HandleTime");
    auto* info = new QVBoxLayout(pnl_Info);
    info->setSpacing(12);
    for (QLabel* label : {lbl_Handlerusername, lbl_handlershopkeeperusername, lbl_handlertaobaoxiaohao, lbl_handlerqq,
                          lbl_HandleTime}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setTextFormat(Qt::PlainText);
        if (label != lbl_handlerqq) {
            info->addWidget(label);
            continue;
        }
        // The contact icon right after the QQ number.
        auto* qqRow = new QHBoxLayout;
        qqRow->addWidget(lbl_handlerqq);
        qqRow->addWidget(img_QQHandler);
        qqRow->addStretch(1);
        info->addLayout(qqRow);
    }
    info->addStretch(1);

    auto* handler = new QVBoxLayout(ts_Handler);
    handler->addWidget(pnl_UnHandle);
    handler->addWidget(pnl_Info, 1);

    PageControl1->addTab(ts_Publish, QStringLiteral("发单人信息"));
    PageControl1->addTab(ts_Handler, QStringLiteral("接单人信息"));
    PageControl1->setCurrentIndex(0);

    btn_Close = named(new QPushButton(QStringLiteral("确定"), this), "btn_Close");
    btn_Close->setDefault(true);
    btn_Close->setAutoDefault(true);
    connect(btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(img_QQPublisher, &QToolButton::clicked, this, &TfrmViewTaskInfo::img_QQPublisherClick);
    connect(img_QQHandler, &QToolButton::clicked, this, &TfrmViewTaskInfo::img_QQHandlerClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grp_Basic);
    layout->addWidget(grp_Detail, 1);
    layout->addLayout(buttons);

    setTabOrder(PageControl1, edt_taskmoney);
    setTabOrder(edt_taskmoney, edt_publisher);
    setTabOrder(edt_publisher, img_QQPublisher);
    setTabOrder(img_QQPublisher, edt_publishershopkeeperusername);
    setTabOrder(edt_publishershopkeeperusername, edt_goodskeyword);
    setTabOrder(edt_goodskeyword, edt_replymsg);
    setTabOrder(edt_replymsg, edt_ShouldreplyTime);
    setTabOrder(edt_ShouldreplyTime, mmo_detailrequirement);
    setTabOrder(mmo_detailrequirement, btn_Close);
}

void TfrmViewTaskInfo::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmViewTaskInfo::FormShow() {
    const TTaskInfo& task = FTaskInfo;
    lbl_taskid->setText(QStringLiteral("任务ID：%1").arg(task.Ftaskid));
    lbl_PublishTime->setText(QStringLiteral("发布日期：%1").arg(FormatDateTime(task.Fpublishtime)));
    lbl_TaskStatus->setText(QStringLiteral("任务状态：%1").arg(TaskStatusName(task.Fstatus)));
    edt_taskmoney->setText(task.Ftaskmoney.generalText());
    edt_goodskeyword->setText(task.Fgoodskeyword);
    edt_replymsg->setText(task.Freplymsg);
    mmo_detailrequirement->setPlainText(task.Fdetailrequirement);
    edt_publisher->setText(
        QStringLiteral("%1  买入小号[%2]").arg(task.Fpublisherusername, task.Fpublishertaobaoxiaohao));
    edt_publishershopkeeperusername->setText(task.Fpublishershopkeeperusername);

    if (task.Fstatus == tsWaitforHandle) {
        pnl_UnHandle->setVisible(true);
        pnl_Info->setVisible(false);
        return;
    }
    edt_ShouldreplyTime->setText(FormatDateTime(task.Fshouldshouhuoandreplytime));
    lbl_Handlerusername->setText(QStringLiteral("接单人：%1").arg(task.Fhandlerusername));
    lbl_handlertaobaoxiaohao->setText(QStringLiteral("买入小号：%1").arg(task.Fhandlertaobaoxiaohao));
    lbl_handlershopkeeperusername->setText(QStringLiteral("掌柜名：%1").arg(task.Fhandlershopkeeperusername));
    lbl_handlerqq->setText(QStringLiteral("联系QQ：%1").arg(task.Fhandlerqq));
    // While the goods wait for shipping the line keeps its caption "接手日期：" without a date.
    if (task.Fstatus != tsWaitforDelivergoods)
        lbl_HandleTime->setText(QStringLiteral("接单日期：%1").arg(FormatDateTime(task.Fhandletime)));
    pnl_UnHandle->setVisible(false);
    pnl_Info->setVisible(true);
}

void TfrmViewTaskInfo::img_QQPublisherClick() { OpenLink(FServices, this, QQChatLink(FPublisherQQ)); }

void TfrmViewTaskInfo::img_QQHandlerClick() { OpenLink(FServices, this, QQChatLink(FHandlerQQ)); }
