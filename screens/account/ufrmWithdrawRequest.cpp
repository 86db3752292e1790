#include "screens/account/ufrmWithdrawRequest.h"

#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"
#include "screens/account/ufrmBindAlipayAccount.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmWithdrawRequest::TfrmWithdrawRequest(const Services& services, QWidget* parent)
    : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmWithdrawRequest"));
    setWindowTitle(QStringLiteral("提交提现申请"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(420, 232);

    auto* group = new QGroupBox(QStringLiteral("账户财务信息："), this);
    group->setObjectName(QStringLiteral("grp_Finance"));
    auto edit = [group](const char* name) {
        auto* box = new QLineEdit(group);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    edt_inviteaccountbalance = edit("edt_inviteaccountbalance");
    edt_inviteaccountbalance->setReadOnly(true);
    edt_inviteaccountbalance->setEnabled(false);
    edt_inviteaccountbalance->setAlignment(Qt::AlignCenter);
    edt_alipayaccount = edit("edt_alipayaccount");
    edt_alipayusername = edit("edt_alipayusername");
    btn_BindAlipay = new QPushButton(QStringLiteral("绑定支付宝"), group);
    btn_BindAlipay->setObjectName(QStringLiteral("btn_BindAlipay"));
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(12); // the fixed dialog's height goes to the group's rows
    grid->addWidget(new QLabel(QStringLiteral("推广提成余额："), group), 0, 0);
    grid->addWidget(edt_inviteaccountbalance, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("支付宝账户："), group), 1, 0);
    grid->addWidget(edt_alipayaccount, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("支付宝姓名："), group), 2, 0);
    grid->addWidget(edt_alipayusername, 2, 1);
    grid->addWidget(btn_BindAlipay, 1, 2, 2, 1);

    edt_TixianAmount = new QLineEdit(this);
    edt_TixianAmount->setObjectName(QStringLiteral("edt_TixianAmount"));
    edt_TixianAmount->setAlignment(Qt::AlignCenter);
    btn_Apply = new QPushButton(QStringLiteral("提交申请"), this);
    btn_Apply->setObjectName(QStringLiteral("btn_Apply"));
    btn_Apply->setDefault(true);
    auto* amountRow = new QHBoxLayout;
    amountRow->addWidget(new QLabel(QStringLiteral("输入提现金额："), this));
    amountRow->addWidget(edt_TixianAmount, 1);
    amountRow->addWidget(btn_Apply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addSpacing(6);
    layout->addLayout(amountRow);
    layout->addSpacing(6);

    setTabOrder(edt_alipayaccount, edt_alipayusername);
    setTabOrder(edt_alipayusername, btn_BindAlipay);
    setTabOrder(btn_BindAlipay, edt_TixianAmount);
    setTabOrder(edt_TixianAmount, btn_Apply);
    edt_TixianAmount->setFocus();

    connect(btn_BindAlipay, &QPushButton::clicked, this, &TfrmWithdrawRequest::btn_BindAlipayClick);
    connect(btn_Apply, &QPushButton::clicked, this, &TfrmWithdrawRequest::btn_ApplyClick);
    FormCreate();
}

void TfrmWithdrawRequest::FormCreate() {
    const TUserInfo& user = CurrentUser();
    edt_inviteaccountbalance->setText(user.Finviteaccountbalance.generalText());
    edt_alipayusername->setText(user.Falipayusername);
    edt_alipayaccount->setText(user.Falipayaccount);
}

void TfrmWithdrawRequest::btn_BindAlipayClick() {
    TfrmBindAlipayAccount dialog(FServices, this);
    dialog.exec();
}

void TfrmWithdrawRequest::btn_ApplyClick() {
    RunGuarded(FServices, this, [this] {
        Prompter& prompter = FServices.prompter;
        // The profile, not the boxes: a binding made from here does not refill them.
        if (CurrentUser().Falipayaccount.isEmpty()) {
            if (AskConfirm(prompter, this, QStringLiteral("尚未绑定支付宝账户，无法提现！ 是否立即进行绑定？")))
                btn_BindAlipayClick();
            return;
        }
        if (CurrentUser().Finviteaccountbalance <= Money())
            return ShowHint(prompter, this, QStringLiteral("你的可提现推广提成为0，无法提现！"));
        // The amount in whole fen, as it is sent: the balance test and the local balance use it, so
        // they agree with what the server books.
        const std::optional<Money> amount = TextToMoney(edt_TixianAmount->text());
        if (!amount) return ShowHint(prompter, this, QStringLiteral("你输入的提现金额有误，无法提现！"));
        if (*amount > CurrentUser().Finviteaccountbalance)
            return ShowHint(prompter, this, QStringLiteral("你的可提现推广提成不足，无法提现！"));

        const auto reply = SendCommand(FServices, this, cmWithdrawRequest, {*amount},
                                       QStringLiteral("提现申请提交失败，请稍后再试！"));
        if (!reply) return;
        if (reply->code == 1) {
            TUserInfo& user = CurrentUser();
            user.Finviteaccountbalance -= *amount;
            edt_inviteaccountbalance->setText(user.Finviteaccountbalance.generalText());
            ShowHint(prompter, this, QStringLiteral("恭喜，提现申请提交成功，请等待管理员审核！"));
        } else if (reply->code == 0) {
            ShowRefusal(prompter, this, QStringLiteral("提现申请提交失败"), RequireReturnMsg(reply->msg),
                        MessageIcon::Information);
        }
    });
}
