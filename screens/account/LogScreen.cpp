#include "screens/account/LogScreen.h"
#include "model/uAccountInput.h"
#include "widgets/ListView.h"
#include "widgets/MenuHelpers.h"
#include "widgets/RequestQueue.h"
#include "widgets/udmResource.h"

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

LogScreen::LogScreen(const Services& services, QWidget* parent, const LogScreenLayout& layout)
    : QWidget(parent), m_services(services), m_columns(layout.columns), m_boldGreenColumn(layout.boldGreenColumn) {
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

    m_list = new ListView(QString::fromLatin1(layout.listName), this);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHandCursor(true);
    m_list->setIconSize(QSize(16, 16));
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setFilterRole(ListModel::IdRole);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    auto* PopupMenu1 = new QMenu(m_list);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(AddMenuItem(PopupMenu1, "N_N1", QStringLiteral("刷新")), &QAction::triggered, this, &LogScreen::N_N1Click);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this, PopupMenu1](const QPoint& at) { PopupMenu1->popup(m_list->viewport()->mapToGlobal(at)); });

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
    m_bar = new PageNavigationBar(bottom);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(6, 0, 0, 0);
    bottomLayout->addWidget(taskLabel);
    bottomLayout->addWidget(edt_TASKID);
    bottomLayout->addWidget(btn_Search);
    bottomLayout->addWidget(m_bar, 1);
    connect(btn_Search, &QPushButton::clicked, this, &LogScreen::btn_SearchClick);
    connect(edt_TASKID, &QLineEdit::returnPressed, btn_Search, &QPushButton::click);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(top);
    outer->addWidget(m_list, 1);
    outer->addWidget(bottom);

    m_requests = new RequestQueue(this);
    PagedListConfig config;
    config.command = layout.command;
    config.failurePrefix = layout.failurePrefix;
    config.clearRows = [this] {
        m_filter->setFilterFixedString(QString());
        clearRecords();
    };
    config.addRows = [this](const ReplyObject& reply) { addRecords(reply); };
    m_paging = new PagedList(this, services, m_bar, std::move(config), *m_requests);
}

void LogScreen::setRecords(ListModel* model) {
    m_records = model;
    m_records->setColumnColours(m_boldGreenColumn, -1);
    m_records->setColumnIcon(0, StandardIcon(QStyle::SP_FileIcon));
    m_filter->setSourceModel(m_records);
    m_list->setModel(m_filter);
    m_list->setColumns(m_columns);
}

void LogScreen::btn_SearchClick() {
    const QString wanted = TrimControls(edt_TASKID->text());
    m_filter->setFilterFixedString(wanted);
    if (!wanted.isEmpty() && m_filter->rowCount() == 0) {
        m_filter->setFilterFixedString(QString());
        ShowHint(m_services.prompter, this, QStringLiteral("本页没有找到该任务ID的记录！"));
    }
}
