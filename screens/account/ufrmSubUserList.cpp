#include "screens/account/ufrmSubUserList.h"

#include "model/uRecordReader.h"
#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

TfrmSubUserList::TfrmSubUserList(const Services& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmSubUserList"));
    setWindowTitle(QStringLiteral("我的下线"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(719, 477);

    auto* top = new QFrame(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    top->setFixedHeight(41);
    top->setFrameShape(QFrame::StyledPanel);
    top->setFrameShadow(QFrame::Raised);
    auto* lbl_username = new QLabel(QStringLiteral("您的下线用户列表："), top);
    lbl_username->setObjectName(QStringLiteral("lbl_username"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->addWidget(lbl_username);

    const QList<ListColumn> columns = {{QStringLiteral("ID"), 50},
                                       {QStringLiteral("用户名"), 200, Qt::AlignCenter},
                                       {QStringLiteral("注册时间"), 200, Qt::AlignCenter}};
    m_users = new RecordTableModel<TSubUserInfo>(columns, {}, this);
    lv_user = new ListView(QStringLiteral("lv_user"), this);
    lv_user->setModel(m_users);
    lv_user->setColumns(columns);
    lv_user->horizontalHeader()->setStretchLastSection(true);
    lv_user->setFrameShape(QFrame::NoFrame);
    lv_user->setHandCursor(true);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    bottom->setFixedHeight(41);
    auto* navigationBar = new PageNavigationBar(bottom);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(navigationBar, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(top);
    auto* middle = new QVBoxLayout;
    middle->setContentsMargins(4, 4, 4, 4);
    middle->addWidget(lv_user);
    layout->addLayout(middle, 1);
    layout->addWidget(bottom);

    m_requests = new RequestQueue(this);
    PagedListConfig config;
    config.command = cmGetSubUserList;
    config.failurePrefix = QStringLiteral("获取下线用户列表失败，请稍后再试！");
    config.extraValues = [] { return std::vector<CommandValue>{CurrentUser().Fid}; };
    config.clearRows = [this] { m_users->clear(); };
    config.addRows = [this](const ReplyObject& reply) {
        ReadRecordList<TSubUserInfo>(reply, ReadSubUserInfo, [this](TSubUserInfo&& info) {
            QStringList cells{QString(), info.Fusername, FormatDateTime(info.Fregistertime)};
            m_users->append(std::move(info), std::move(cells));
        });
    };
    config.onRefused = [this](const RemoteReply&) {
        FServices.prompter.showMessage(this, QStringLiteral("获取下线用户列表失败！"), QStringLiteral("错误"),
                                       MessageIcon::Error);
    };
    FPaging = new PagedList(this, services, navigationBar, std::move(config), *m_requests);
}
