#include "screens/account/uLogScreen.h"
#include "model/uAccountInput.h"
#include "screens/tasks/uTaskScreens.h"
#include "shell/udmResource.h"
#include "widgets/ListView.h"
#include "widgets/RequestQueue.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QVBoxLayout>

TLogScreen::TLogScreen(const TServices& services, QWidget* parent, const TLogScreenLayout& layout)
    : QWidget(parent), FServices(services), FColumns(layout.columns), FBoldGreenColumn(layout.boldGreenColumn) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(layout.caption);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    top->setFixedHeight(73);
    auto* picture = new QLabel(top);
    picture->setObjectName(QStringLiteral("img_Top"));
    picture->setFixedSize(64, 64);
    picture->setAccessibleName(layout.caption);
    picture->setPixmap(StandardIcon(QStyle::SP_FileDialogDetailedView).pixmap(64, 64));
    auto* title = new QLabel(layout.title, top);
    title->setObjectName(QStringLiteral("lbl_Title"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(16);
    title->setFont(titleFont);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(6, 4, 6, 4);
    topLayout->addWidget(picture);
    topLayout->addWidget(title, 1);

    FList = new ListView(QString::fromLatin1(layout.listName), this);
    FList->horizontalHeader()->setStretchLastSection(true);
    FList->setFrameShape(QFrame::NoFrame);
    FList->setHandCursor(true);
    FList->setIconSize(QSize(16, 16));
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setFilterRole(ListModel::IdRole);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    auto* PopupMenu1 = new QMenu(FList);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(AddMenuItem(PopupMenu1, "N_N1", QStringLiteral("刷新")), &QAction::triggered, this, &TLogScreen::N_N1Click);
    connect(FList, &QWidget::customContextMenuRequested, this,
            [this, PopupMenu1](const QPoint& at) { PopupMenu1->popup(FList->viewport()->mapToGlobal(at)); });

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnl_Bottom"));
    bottom->setFixedHeight(41);
    auto* taskLabel = new QLabel(QStringLiteral("任务ID："), bottom);
    edt_TASKID = new QLineEdit(bottom);
    edt_TASKID->setObjectName(QStringLiteral("edt_TASKID"));
    edt_TASKID->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    edt_TASKID->setFixedWidth(180);
    taskLabel->setBuddy(edt_TASKID);
    auto* btn_Search = new QPushButton(QStringLiteral("查找"), bottom);
    btn_Search->setObjectName(QStringLiteral("btn_Search"));
    FBar = new TPageNavigationBar(bottom);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(6, 0, 0, 0);
    bottomLayout->addWidget(taskLabel);
    bottomLayout->addWidget(edt_TASKID);
    bottomLayout->addWidget(btn_Search);
    bottomLayout->addWidget(FBar, 1);
    connect(btn_Search, &QPushButton::clicked, this, &TLogScreen::btn_SearchClick);
    connect(edt_TASKID, &QLineEdit::returnPressed, btn_Search, &QPushButton::click);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(top);
    outer->addWidget(FList, 1);
    outer->addWidget(bottom);

    m_requests = new RequestQueue(this);
    TPagedListConfig config;
    config.command = layout.command;
    config.failurePrefix = layout.failurePrefix;
    config.clearRows = [this] {
        m_filter->setFilterFixedString(QString());
        clearRecords();
    };
    config.addRows = [this](const TReplyObject& reply) { addRecords(reply); };
    FPaging = new TPagedList(this, services, FBar, std::move(config), *m_requests);
}

void TLogScreen::setRecords(ListModel* model) {
    FRecords = model;
    FRecords->setColumnColours(FBoldGreenColumn, -1);
    FRecords->setColumnIcon(0, StandardIcon(QStyle::SP_FileIcon));
    m_filter->setSourceModel(FRecords);
    FList->setModel(m_filter);
    FList->setColumns(FColumns);
}

void TLogScreen::btn_SearchClick() {
    const QString wanted = TrimControls(edt_TASKID->text());
    m_filter->setFilterFixedString(wanted);
    if (!wanted.isEmpty() && m_filter->rowCount() == 0) {
        m_filter->setFilterFixedString(QString());
        ShowHint(FServices.prompter, this, QStringLiteral("本页没有找到该任务ID的记录！"));
    }
}
