#include "screens/tasks/ufrmPublishTask.h"
#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"
#include "screens/tasks/uTaskScreens.h"
#include "widgets/udmResource.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <optional>

namespace {
QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
} // namespace

TfrmPublishTask::TfrmPublishTask(const Services& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmPublishTask"));
    setWindowTitle(QStringLiteral("发布任务"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* layout = new QVBoxLayout(this);
    auto* grp_TaskInfo = new QGroupBox(QStringLiteral("填写商品信息："), this);
    grp_TaskInfo->setObjectName(QStringLiteral("grp_TaskInfo"));
    auto* grid = new QGridLayout(grp_TaskInfo);
    grid->setColumnStretch(2, 1);

    auto addRow = [grid](int row, QLabel* label, QWidget* input, QLabel* note) {
        grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(input, row, 1);
        if (note) grid->addWidget(note, row, 2);
        label->setBuddy(input);
    };

    edt_taskmoney = new QLineEdit(grp_TaskInfo);
    edt_taskmoney->setObjectName(QStringLiteral("edt_taskmoney"));
    edt_taskmoney->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edt_taskmoney));
    addRow(0, namedLabel("Label1", QStringLiteral("商品任务价："), grp_TaskInfo), edt_taskmoney,
           namedLabel("Label7", QStringLiteral("输入商品价格"), grp_TaskInfo));

    edt_shopkeeperusername = new QLineEdit(grp_TaskInfo);
    edt_shopkeeperusername->setObjectName(QStringLiteral("edt_shopkeeperusername"));
    edt_shopkeeperusername->setReadOnly(true);
    addRow(1, namedLabel("Label2", QStringLiteral("掌柜名："), grp_TaskInfo), edt_shopkeeperusername, nullptr);

    edt_goodskeyword = new QLineEdit(grp_TaskInfo);
    edt_goodskeyword->setObjectName(QStringLiteral("edt_goodskeyword"));
    addRow(2, namedLabel("Label4", QStringLiteral("商品关键词："), grp_TaskInfo), edt_goodskeyword,
           namedLabel("Label16", QStringLiteral("输入关键词，确保能在淘宝前几页找到你的宝贝"), grp_TaskInfo));

    edt_replymsg = new QLineEdit(grp_TaskInfo);
    edt_replymsg->setObjectName(QStringLiteral("edt_replymsg"));
    addRow(3, namedLabel("Label3", QStringLiteral("好评评语："), grp_TaskInfo), edt_replymsg,
           namedLabel("Label8", QStringLiteral("您希望得到的好评评语（最多不能超过30字）"), grp_TaskInfo));

    const QString waitHint = QStringLiteral("发布方发货后，接手方需等待，到时间后才能好评！");
    auto* waits = new QWidget(grp_TaskInfo);
    auto* waitsLayout = new QHBoxLayout(waits);
    waitsLayout->setContentsMargins(0, 0, 0, 0);
    auto* waitGroup = new QButtonGroup(this);
    auto radio = [&](const char* name, const QString& caption, int ordinal) {
        auto* button = new QRadioButton(caption, waits);
        button->setObjectName(QString::fromLatin1(name));
        waitsLayout->addWidget(button);
        waitGroup->addButton(button, ordinal);
        return button;
    };
    rb_2hour = radio("rb_2hour", QStringLiteral("2小时"), it2Hour);
    rb_48Hour = radio("rb_48Hour", QStringLiteral("48小时"), it48Hour);
    rb_72hour = radio("rb_72hour", QStringLiteral("72小时"), it72Hour);
    rb_96hour = radio("rb_96hour", QStringLiteral("96小时"), it96Hour);
    rb_2hour->setChecked(true);
    QLabel* Label6 = namedLabel("Label6", QStringLiteral("要求好评时间："), grp_TaskInfo);
    Label6->setToolTip(waitHint);
    addRow(4, Label6, waits, namedLabel("Label14", waitHint, grp_TaskInfo));
    Label6->setBuddy(rb_2hour);

    mmo_detailrequirement = new QPlainTextEdit(grp_TaskInfo);
    mmo_detailrequirement->setObjectName(QStringLiteral("mmo_detailrequirement"));
    mmo_detailrequirement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmo_detailrequirement->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmo_detailrequirement->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmo_detailrequirement->setTabChangesFocus(true);
    QLabel* Label10 = namedLabel(
        "Label10", QStringLiteral("任务默认是淘宝刷单，如果是其他需要刷单的可以在这里具体说明下，如：阿里巴巴"),
        grp_TaskInfo);
    Label10->setWordWrap(true);
    addRow(5, namedLabel("Label13", QStringLiteral("其他具体要求："), grp_TaskInfo), mmo_detailrequirement, Label10);
    layout->addWidget(grp_TaskInfo);

    auto* GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* notes = new QHBoxLayout(GroupBox1);
    auto* picture = new QLabel(GroupBox1);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(StandardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picture->setAccessibleName(QStringLiteral("提示"));
    notes->addWidget(picture);
    auto* noteLines = new QVBoxLayout;
    noteLines->addWidget(
        namedLabel("Label15", QStringLiteral("发布任务前请先进淘宝网，根据设定的商品关键词进行测试"), GroupBox1));
    noteLines->addWidget(
        namedLabel("Label11", QStringLiteral("登录淘宝后输入关键词，确保能在淘宝前几页找到你的宝贝"), GroupBox1));
    notes->addLayout(noteLines, 1);
    layout->addWidget(GroupBox1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btn_PublishTask = new QPushButton(StandardIcon(QStyle::SP_DialogOkButton), QStringLiteral("发布任务"), this);
    btn_PublishTask->setObjectName(QStringLiteral("btn_PublishTask"));
    btn_PublishTask->setDefault(true);
    btn_PublishTask->setAutoDefault(true);
    btn_resetform = new QPushButton(StandardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("关闭窗口"), this);
    btn_resetform->setObjectName(QStringLiteral("btn_resetform"));
    btn_resetform->setAutoDefault(false);
    buttons->addWidget(btn_PublishTask);
    buttons->addWidget(btn_resetform);
    layout->addLayout(buttons);

    setTabOrder(edt_taskmoney, edt_goodskeyword);
    setTabOrder(edt_goodskeyword, edt_replymsg);
    setTabOrder(edt_replymsg, rb_2hour);
    setTabOrder(rb_2hour, mmo_detailrequirement);
    setTabOrder(mmo_detailrequirement, btn_PublishTask);
    setTabOrder(btn_PublishTask, btn_resetform);

    connect(btn_PublishTask, &QPushButton::clicked, this, &TfrmPublishTask::btn_PublishTaskClick);
    connect(btn_resetform, &QPushButton::clicked, this, &TfrmPublishTask::btn_resetformClick);

    setFixedSize(720, 440);
}

void TfrmPublishTask::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // the window coming back from minimised keeps what was typed
    edt_taskmoney->clear();
    edt_goodskeyword->clear();
    edt_replymsg->clear();
    edt_shopkeeperusername->setText(CurrentUser().Fshopkeeperusername);
    edt_taskmoney->setFocus();
}

int TfrmPublishTask::selectedWait() const {
    if (rb_48Hour->isChecked()) return it48Hour;
    if (rb_72hour->isChecked()) return it72Hour;
    if (rb_96hour->isChecked()) return it96Hour;
    return it2Hour;
}

void TfrmPublishTask::btn_PublishTaskClick() {
    RunGuarded(FServices, this, [this] {
        if (!AskConfirm(FServices.prompter, this, QStringLiteral("确定要发布此任务吗?"))) return;
        const QString price = TrimText(edt_taskmoney->text());
        const QString shopkeeper = TrimText(edt_shopkeeperusername->text());
        const QString keyword = TrimText(edt_goodskeyword->text());
        const QString replymsg = TrimText(edt_replymsg->text());
        const QString requirement = TrimText(mmo_detailrequirement->toPlainText());

        if (price.isEmpty()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入任务价格！"));
            return;
        }
        // The price is sent as typed; in whole fen it must come to at least one.
        const std::optional<Money> value = TextToMoney(price);
        if (!value || *value <= Money()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入准确的任务价格！"));
            return;
        }
        if (keyword.isEmpty()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入搜索关键词！"));
            return;
        }

        const TUserInfo& user = CurrentUser();
        const auto reply = SendCommand(
            FServices, this, cmPublishTask,
            {user.Fid, user.Ftaobaoxiaohao, shopkeeper, price, keyword, replymsg, requirement, selectedWait()},
            QStringLiteral("任务发布失败，请稍后再试！"));
        // A network hiccup keeps the dialog and everything typed in it: the task can be sent again.
        if (!reply) return;
        if (reply->done()) {
            ShowHint(FServices.prompter, this, QStringLiteral("恭喜，任务发布成功！"));
            accept();
        } else {
            ShowHint(FServices.prompter, this, QStringLiteral("任务发布失败！原因： ") + RequireReturnMsg(reply->msg));
            reject();
        }
    });
}

void TfrmPublishTask::btn_resetformClick() { reject(); }
