#include "screens/tasks/ufrmTaskCenter.h"

#include "model/uCommonFunc.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/uTaskScreens.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString PageFailure = QStringLiteral("获取已发布任务列表失败，请稍后再试！");
const QString OperationText = QStringLiteral("单击鼠标右键进行操作");

QLabel* noticeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(15);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
    return label;
}

// The columns of both lists; only lv_task has the last one, "操作".
QList<TListView::TColumn> hallColumns(bool withOperation) {
    const Qt::Alignment centred = Qt::AlignCenter;
    QList<TListView::TColumn> columns = {
        {QStringLiteral("ID"), 60},
        {QStringLiteral("任务ID"), 180, centred},
        {QStringLiteral("发布人"), 120, centred},
        {QStringLiteral("任务总价"), 110},
        {QStringLiteral("发布时间"), 150, centred},
        {QStringLiteral("状态"), 120, centred},
    };
    if (withOperation) columns.append({QStringLiteral("操作"), 180, centred});
    return columns;
}

TListView* hallList(const QString& name, bool withOperation, QWidget* parent) {
    auto* list = new TListView(name, parent);
    list->setColumns(hallColumns(withOperation));
    list->setColumnColours(1, 3);
    list->setHandCursor(true);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setIconSize(QSize(16, 16));
    return list;
}

} // namespace

QString MaskTaobaoAccount(const QString& account) {
    // Counted in characters, so a character outside the basic plane is never cut in half.
    QList<uint> characters = account.toUcs4();
    characters.resize(qMax<qsizetype>(0, characters.size() - 2));
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size()) +
           QStringLiteral("**");
}

TfrmTaskCenter::TfrmTaskCenter(const TServices& services, QWidget* parent)
    : QWidget(parent), FServices(services), FTaskIcon(TaskRowIcon(0)), FMoneyIcon(TaskRowIcon(1)) {
    setObjectName(QStringLiteral("frmTaskCenter"));
    setWindowTitle(QStringLiteral("任务大厅"));

    // ---- Header: picture, the two notices, the category buttons.
    pnl_Top = new QWidget(this);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    Image1 = new QLabel(pnl_Top);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(FTaskIcon.pixmap(48, 48));
    Image1->setFixedSize(56, 56);
    Image1->setAlignment(Qt::AlignCenter);
    Label1 = noticeLabel(QStringLiteral("Label1"),
                         QStringLiteral("注意：接任务时候请直接联系QQ，，不要联系旺旺！！！切记"), pnl_Top);
    Label7 = noticeLabel(QStringLiteral("Label7"), QStringLiteral("     任务接手成功后，即可看到相互之间的联系QQ"),
                         pnl_Top);
    Label8 = new QLabel(QStringLiteral("任务类别："), pnl_Top);
    Label8->setObjectName(QStringLiteral("Label8"));

    FCategoryGroup = new QButtonGroup(this);
    FCategoryGroup->setExclusive(true);
    auto categoryButton = [this](const char* name, const QString& caption, TTaskTimeType category) {
        auto* button = new QToolButton(pnl_Top);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setMinimumWidth(80);
        FCategoryGroup->addButton(button, category);
        connect(button, &QToolButton::clicked, this, [this, category] { categoryClick(category); });
        return button;
    };
    btn_All = categoryButton("btn_All", QStringLiteral("所有任务"), ttAll);
    btn_2hour = categoryButton("btn_2hour", QStringLiteral("2小时任务"), tt2Hour);
    btn_2day = categoryButton("btn_2day", QStringLiteral("2天任务"), tt2day);
    btn_3day = categoryButton("btn_3day", QStringLiteral("3天任务"), tt3day);
    btn_4day = categoryButton("btn_4day", QStringLiteral("4天任务"), tt4day);
    btn_All->setChecked(true);

    auto* categories = new QHBoxLayout;
    categories->setSpacing(2);
    categories->addWidget(Label8);
    for (QToolButton* button : {btn_All, btn_2hour, btn_2day, btn_3day, btn_4day}) categories->addWidget(button);
    categories->addStretch(1);
    auto* notices = new QVBoxLayout;
    notices->addWidget(Label1);
    notices->addWidget(Label7);
    notices->addLayout(categories);
    auto* top = new QHBoxLayout(pnl_Top);
    top->setContentsMargins(6, 6, 6, 6);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(notices, 1);

    // ---- The two tabs.
    pgc_Main = new QTabWidget(this);
    pgc_Main->setObjectName(QStringLiteral("pgc_Main"));
    pgc_Main->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 100px; height: 22px; }"));
    ts_Unhandled = new QWidget;
    ts_Unhandled->setObjectName(QStringLiteral("ts_Unhandled"));
    ts_Handled = new QWidget;
    ts_Handled->setObjectName(QStringLiteral("ts_Handled"));
    pgc_Main->addTab(ts_Unhandled, FTaskIcon, QStringLiteral("可接任务"));
    pgc_Main->addTab(ts_Handled, FMoneyIcon, QStringLiteral("已接任务"));

    lv_task = hallList(QStringLiteral("lv_task"), true, ts_Unhandled);
    pnl_Navigation = new TPageNavigationBar(ts_Unhandled);
    // The search sits at the left end of the navigation bar.
    Label2 = new QLabel(QStringLiteral("任务ID："), pnl_Navigation);
    Label2->setObjectName(QStringLiteral("Label2"));
    edt_TaskID = new QLineEdit(pnl_Navigation);
    edt_TaskID->setObjectName(QStringLiteral("edt_TaskID"));
    edt_TaskID->setPlaceholderText(QStringLiteral("输入待查找的任务ID"));
    edt_TaskID->setMinimumWidth(180);
    Label2->setBuddy(edt_TaskID);
    btn_Search = new QPushButton(QStringLiteral("查找"), pnl_Navigation);
    btn_Search->setObjectName(QStringLiteral("btn_Search"));
    if (auto* bar = qobject_cast<QBoxLayout*>(pnl_Navigation->layout())) {
        bar->insertWidget(0, Label2);
        bar->insertWidget(1, edt_TaskID);
        bar->insertWidget(2, btn_Search);
    }
    connect(edt_TaskID, &QLineEdit::returnPressed, this, &TfrmTaskCenter::btn_SearchClick);
    connect(btn_Search, &QPushButton::clicked, this, &TfrmTaskCenter::btn_SearchClick);

    auto* unhandled = new QVBoxLayout(ts_Unhandled);
    unhandled->setContentsMargins(0, 0, 0, 0);
    unhandled->setSpacing(0);
    unhandled->addWidget(lv_task, 1);
    unhandled->addWidget(pnl_Navigation);

    lv_handledtask = hallList(QStringLiteral("lv_handledtask"), false, ts_Handled);
    auto* handled = new QVBoxLayout(ts_Handled);
    handled->setContentsMargins(0, 0, 0, 0);
    handled->addWidget(lv_handledtask);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnl_Top);
    layout->addWidget(pgc_Main, 1);

    // ---- Context menus.
    auto menuItem = [this](QMenu* menu, const char* name, const QString& caption, void (TfrmTaskCenter::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N_N2 = menuItem(PopupMenu1, "N_N2", QStringLiteral("刷新"), &TfrmTaskCenter::N_N2Click);
    N1 = menuItem(PopupMenu1, "N1", QStringLiteral("接手该任务"), &TfrmTaskCenter::N1Click);
    N_CopyTaskID = menuItem(PopupMenu1, "N_CopyTaskID", QStringLiteral("复制任务ID"), &TfrmTaskCenter::N_CopyTaskIDClick);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    N_CopyTaskID2 =
        menuItem(PopupMenu2, "N_CopyTaskID2", QStringLiteral("复制任务ID"), &TfrmTaskCenter::N_CopyTaskID2Click);
    connect(lv_task, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(lv_task->viewport()->mapToGlobal(at)); });
    connect(lv_handledtask, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(lv_handledtask->viewport()->mapToGlobal(at)); });

    setTabOrder(btn_All, btn_2hour);
    setTabOrder(btn_2hour, btn_2day);
    setTabOrder(btn_2day, btn_3day);
    setTabOrder(btn_3day, btn_4day);
    setTabOrder(btn_4day, pgc_Main);
    setTabOrder(pgc_Main, lv_task);
    setTabOrder(lv_task, edt_TaskID);
    setTabOrder(edt_TaskID, btn_Search);

    FPagedList = new TPagedList(this, FServices, pnl_Navigation,
                                TPagedListConfig{
                                    .command = cmGetTaskCenterList,
                                    .failurePrefix = PageFailure,
                                    .extraValues = [this] { return std::vector<TCommandValue>{int(FTaskTimeType)}; },
                                    .clearRows =
                                        [this] {
                                            pgc_Main->setCurrentIndex(0);
                                            clearLists();
                                        },
                                    .addRows =
                                        [this](const TReplyObject& reply) {
                                            ReadTaskList(reply, trHallPage, TaskManager, [this](PTaskInfo task) {
                                                addTaskRow(task, task->Fpublisherusername);
                                            });
                                        },
                                    .onRefused = {},
                                    .onLoadTimer = {},
                                });
}

void TfrmTaskCenter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FPagedList->StartLoadTimer();
}

void TfrmTaskCenter::GetTaskListFromTaskCenter() { FPagedList->Fetch(); }

void TfrmTaskCenter::OnWM_GetTaskListFromTaskCenter() { FPagedList->PostReload(); }

void TfrmTaskCenter::N_N2Click() { GetTaskListFromTaskCenter(); }

void TfrmTaskCenter::categoryClick(TTaskTimeType category) {
    FTaskTimeType = category;
    FPagedList->FCurrentPageIndex = 1;
    OnWM_GetTaskListFromTaskCenter();
}

void TfrmTaskCenter::clearLists() {
    // The rows point into the hall's dictionary: empty them before the records go.
    lv_task->clearRows();
    lv_handledtask->clearRows();
    TaskManager.ClearTaskCenterTaskInfo();
}

void TfrmTaskCenter::addTaskRow(PTaskInfo task, const QString& publisher) {
    const bool open = task->Fstatus == tsWaitforHandle;
    TListView* list = open ? lv_task : lv_handledtask;
    QStringList cells = {QString(),
                         task->Ftaskid,
                         publisher,
                         FormatMoney(task->Ftaskmoney),
                         FormatDateTime(task->Fpublishtime),
                         TaskStatusName(task->Fstatus)};
    if (open) cells.append(OperationText);
    const int row = list->addRow(cells, QVariant::fromValue(static_cast<void*>(task)));
    list->item(row, 0)->setIcon(FTaskIcon);
    list->item(row, 3)->setIcon(FMoneyIcon);
}

void TfrmTaskCenter::btn_SearchClick() {
    RunGuarded(FServices, this, [this] {
        const QString taskId = TrimText(edt_TaskID->text());
        if (taskId.isEmpty()) {
            ShowHint(FServices.prompter, this, QStringLiteral("请输入要查找的任务ID!"));
            return;
        }
        clearLists();
        const auto reply = SendCommand(FServices, this, cmSearchTaskCenter, {taskId},
                                       QStringLiteral("搜索任务失败，请稍后再试！"));
        if (!reply || !reply->done()) return;
        // The bar shows the search's totals; the page index stays, so paging returns to it.
        const int total = ReplyTotalNum(reply->object);
        FPagedList->CalculatePageInfo(total);
        pnl_Navigation->showTotals(total, FPagedList->FTotalPageCount, FPagedList->FCurrentPageIndex);
        ReadTaskList(reply->object, trHallSearch, TaskManager, [this](PTaskInfo task) {
            addTaskRow(task, MaskTaobaoAccount(task->Fpublishtaobaoxiaohao));
        });
    });
}

void TfrmTaskCenter::N1Click() {
    RunGuarded(FServices, this, [this] {
        const PTaskInfo task = SelectedTask(lv_task);
        if (!task) return;
        // Copied before the question: a reload that runs while the box is up disposes the record.
        const QString taskId = task->Ftaskid;
        if (!AskConfirm(FServices.prompter, this, QStringLiteral("确定要接手此任务吗?"))) return;
        const TLifecycleTexts texts{
            .question = {},
            .success = QStringLiteral("恭喜，任务接手成功，请尽快完成支付操作！"),
            .refusedPrefix = QStringLiteral("任务接手失败"),
            .transportPrefix = QStringLiteral("接手任务失败，请稍后再试！"),
        };
        // True once the success box has closed: only then is the reload posted.
        if (SendLifecycleCommand(FServices, this, cmHandleTask, {taskId, CurrentUser().Fid}, texts))
            OnWM_GetTaskListFromTaskCenter();
    });
}

void TfrmTaskCenter::copyTaskId(TListView* list) {
    if (const PTaskInfo task = SelectedTask(list)) CopyTaskIdToClipboard(FServices, this, *task);
}

void TfrmTaskCenter::N_CopyTaskIDClick() { copyTaskId(lv_task); }

void TfrmTaskCenter::N_CopyTaskID2Click() { copyTaskId(lv_handledtask); }
