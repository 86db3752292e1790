#include "screens/account/ufrmRechargeRequest.h"

#include "model/uAccountInput.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmRechargeRequest::TfrmRechargeRequest(const Services& services, QWidget* parent)
    : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmRechargeRequest"));
    setWindowTitle(QStringLiteral("提交充值申请"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(441, 264);

    auto* group = new QGroupBox(QStringLiteral("输入充值申请信息："), this);
    group->setObjectName(QStringLiteral("grp_RechargeInfo"));
    auto* form = new QFormLayout(group);
    // The fixed dialog is taller than three rows: the group takes the height, the rows spread in it.
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setVerticalSpacing(18);
    edt_tradetype = new QLineEdit(QStringLiteral("支付宝"), group);
    edt_tradetype->setObjectName(QStringLiteral("edt_tradetype"));
    edt_tradetype->setReadOnly(true);
    edt_tradeid = new QLineEdit(group);
    edt_tradeid->setObjectName(QStringLiteral("edt_tradeid"));
    edt_money = new QLineEdit(group);
    edt_money->setObjectName(QStringLiteral("edt_money"));
    form->addRow(QStringLiteral("充值方式："), edt_tradetype);
    form->addRow(QStringLiteral("充值交易单号："), edt_tradeid);
    form->addRow(QStringLiteral("充值金额："), edt_money);

    btn_Apply = new QPushButton(QStringLiteral("提交申请"), this);
    btn_Apply->setObjectName(QStringLiteral("btn_Apply"));
    btn_Apply->setDefault(true);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_Apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(bottom);

    setTabOrder(edt_tradeid, edt_tradetype);
    setTabOrder(edt_tradetype, edt_money);
    setTabOrder(edt_money, btn_Apply);
    edt_tradeid->setFocus();

    connect(btn_Apply, &QPushButton::clicked, this, &TfrmRechargeRequest::btn_ApplyClick);
}

void TfrmRechargeRequest::btn_ApplyClick() {
    RunGuarded(FServices, this, [this] {
        Prompter& prompter = FServices.prompter;
        const std::optional<Money> amount = TextToMoney(edt_money->text());
        if (!amount) return ShowHint(prompter, this, QStringLiteral("你输入的充值金额有误，请重新输入！"));
        const QString tradetype = TrimControls(edt_tradetype->text());
        const QString tradeid = TrimControls(edt_tradeid->text());
        if (tradeid.isEmpty())
            return ShowHint(prompter, this, QStringLiteral("请输入你的充值流水交易号，此交易号是充值唯一凭证！"));
        if (!AskConfirm(prompter, this, QStringLiteral("确定要提交充值申请吗?"))) return;

        const auto reply = SendCommand(FServices, this, cmRechargeRequest, {*amount, tradetype, tradeid},
                                       QStringLiteral("充值申请提交失败，请稍后再试！"));
        if (!reply) return;
        if (reply->code == 1)
            ShowHint(prompter, this, QStringLiteral("恭喜，充值申请提交成功，请等待管理员审核！"));
        else if (reply->code == 0)
            ShowRefusal(prompter, this, QStringLiteral("充值申请提交失败"), RequireReturnMsg(reply->msg),
                        MessageIcon::Information);
    });
}
