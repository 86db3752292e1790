#include "screens/account/ufrmInviteInfo.h"

#include "model/uCommonVarConst.h"
#include "model/uVarConst.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmInviteInfo::TfrmInviteInfo(const Services& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmInviteInfo"));
    setWindowTitle(QStringLiteral("我的推广信息"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(531, 234);

    auto* group = new QGroupBox(QStringLiteral("推广信息："), this);
    group->setObjectName(QStringLiteral("grp_Invite"));
    auto* label = new QLabel(QStringLiteral("我的推广链接地址："), group);
    edt_inviteURL = new QLineEdit(group);
    edt_inviteURL->setObjectName(QStringLiteral("edt_inviteURL"));
    edt_inviteURL->setFixedWidth(433);
    label->setBuddy(edt_inviteURL);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(label);
    groupLayout->addWidget(edt_inviteURL);
    groupLayout->addStretch(1);

    btn_Close = new QPushButton(QStringLiteral("关闭窗口"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    btn_Close->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(bottom);

    connect(btn_Close, &QPushButton::clicked, this, &TfrmInviteInfo::btn_CloseClick);
    FormCreate();
}

void TfrmInviteInfo::FormCreate() { edt_inviteURL->setText(InviteLink(CurrentUser().Fid)); }
