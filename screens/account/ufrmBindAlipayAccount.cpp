#include "screens/account/ufrmBindAlipayAccount.h"

#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
// Equal without regard to the case of the ASCII letters A to Z; every other character must match.
bool SameTextAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode(), y = b.at(i).unicode();
        if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
        if (x != y) return false;
    }
    return true;
}
} // namespace

TfrmBindAlipayAccount::TfrmBindAlipayAccount(const Services& services, QWidget* parent)
    : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmBindAlipayAccount"));
    setWindowTitle(QStringLiteral("绑定支付宝账户"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(360, 226);

    auto* group = new QGroupBox(QStringLiteral("支付宝信息："), this);
    group->setObjectName(QStringLiteral("grp_Alipay"));
    auto* form = new QFormLayout(group);
    // The fixed dialog is taller than two rows: the group takes the height, the rows spread in it.
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setVerticalSpacing(18);
    edt_alipayaccount = new QLineEdit(group);
    edt_alipayaccount->setObjectName(QStringLiteral("edt_alipayaccount"));
    edt_alipayusername = new QLineEdit(group);
    edt_alipayusername->setObjectName(QStringLiteral("edt_alipayusername"));
    form->addRow(QStringLiteral("支付宝账户："), edt_alipayaccount);
    form->addRow(QStringLiteral("支付宝姓名："), edt_alipayusername);

    btn_BindAlipay = new QPushButton(QStringLiteral("绑定"), this);
    btn_BindAlipay->setObjectName(QStringLiteral("btn_BindAlipay"));
    btn_BindAlipay->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_BindAlipay);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(bottom);

    setTabOrder(edt_alipayaccount, edt_alipayusername);
    setTabOrder(edt_alipayusername, btn_BindAlipay);
    connect(btn_BindAlipay, &QPushButton::clicked, this, &TfrmBindAlipayAccount::btn_BindAlipayClick);
}

void TfrmBindAlipayAccount::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmBindAlipayAccount::FormShow() {
    const TUserInfo& user = CurrentUser();
    edt_alipayaccount->setText(user.Falipayaccount);
    edt_alipayusername->setText(user.Falipayusername);
    edt_alipayaccount->setFocus();
}

void TfrmBindAlipayAccount::btn_BindAlipayClick() {
    RunGuarded(FServices, this, [this] {
        Prompter& prompter = FServices.prompter;
        if (!AskConfirm(prompter, this, QStringLiteral("确定要绑定支付宝账户信息吗？"))) return;
        const QString account = TrimControls(edt_alipayaccount->text());
        const QString name = TrimControls(edt_alipayusername->text());
        if (account.isEmpty()) return ShowHint(prompter, this, QStringLiteral("请输入欲绑定的支付宝账户！"));
        if (name.isEmpty()) return ShowHint(prompter, this, QStringLiteral("请输入欲绑定的支付宝账户姓名！"));
        const TUserInfo& user = CurrentUser();
        if (SameTextAsciiCase(account, user.Falipayaccount) && SameTextAsciiCase(name, user.Falipayusername))
            return ShowHint(prompter, this, QStringLiteral("支付宝绑定信息未改变！"));

        const auto reply = SendCommand(FServices, this, cmBindAlipay, {account, name},
                                       QStringLiteral("支付宝信息绑定失败，请稍后再试！"));
        if (!reply) return;
        if (reply->code == 1) {
            TUserInfo& current = CurrentUser();
            current.Falipayusername = name;
            current.Falipayaccount = account;
            ShowHint(prompter, this, QStringLiteral("恭喜，支付宝信息绑定成功！"));
        } else if (reply->code == 0) {
            ShowRefusal(prompter, this, QStringLiteral("支付宝信息绑定失败"), RequireReturnMsg(reply->msg),
                        MessageIcon::Information);
        }
    });
}
