// The six task readers and the task store.
#include "model/uTaskManagerClass.h"

#include <QtTest>

#include <string>
#include <vector>

Q_DECLARE_METATYPE(TaskReader)
Q_DECLARE_METATYPE(TaskDictionary)

namespace {

const std::vector<std::string> KeysA = {"id",
                                        "taskid",
                                        "publishtime",
                                        "publishuserid",
                                        "publishtaobaoxiaohao",
                                        "taskmoney",
                                        "shopkeeperusername",
                                        "goodskeyword",
                                        "replymsg",
                                        "detailrequirement",
                                        "status",
                                        "marks"};
const std::vector<std::string> KeysB = {
    "handleuserid",       "handletime", "shouldpaytime", "paytime", "fahuotime", "shouldshouhuoandreplytime",
    "shouhuoandreplytime"};
const std::vector<std::string> KeysC = {"publisherusername", "publishershopkeeperusername", "publishertaobaoxiaohao",
                                        "publisherqq"};
const std::vector<std::string> KeysD = {"handlerusername", "handlershopkeeperusername", "handlertaobaoxiaohao",
                                        "handlerqq"};

// A task object carrying every key any reader reads, with a distinct value in each.
ReplyObject fullTask(const std::string& taskid, int status) {
    return {
        {"id", 17},
        {"taskid", taskid},
        {"publishtime", "2016-03-01 09:43:27"},
        {"publishuserid", 1024},
        {"publishtaobaoxiaohao", "买家小号"},
        {"taskmoney", "12.50"},
        {"shopkeeperusername", "掌柜甲"},
        {"goodskeyword", "连衣裙 夏季"},
        {"replymsg", "好评"},
        {"detailrequirement", "货比三家"},
        {"status", status},
        {"marks", nullptr},
        {"handleuserid", 2048},
        {"handletime", "2016-03-02 10:00:00"},
        {"shouldpaytime", "2016-03-02 10:15:00"},
        {"paytime", "2016-03-02 10:05:00"},
        {"fahuotime", "2016-03-02 18:00:00"},
        {"shouldshouhuoandreplytime", "2016-03-04 18:00:00"},
        {"shouhuoandreplytime", "2016-03-05 08:04:09"},
        {"publisherusername", "发单人"},
        {"publishershopkeeperusername", "发单掌柜"},
        {"publishertaobaoxiaohao", "发单小号"},
        {"publisherqq", 123456},
        {"handlerusername", "接单人"},
        {"handlershopkeeperusername", "接单掌柜"},
        {"handlertaobaoxiaohao", "接单小号"},
        {"handlerqq", "654321"},
        // present in some replies but never read into a record
        {"shouhuoandreplyintervalafterfahuo", 3},
    };
}

// Only the given keys of fullTask(): proves a reader needs no other key.
ReplyObject taskWithKeys(const std::string& taskid, int status, const std::vector<std::string>& keys) {
    const ReplyObject full = fullTask(taskid, status);
    ReplyObject object = ReplyObject::object();
    for (const std::string& key : keys) object[key] = full[key];
    return object;
}

ReplyObject listReply(const ReplyObject& body) { return {{"returncode", 1}, {"totalnum", 99}, {"msgbody", body}}; }

QStringList ids(const std::vector<const TTaskInfo*>& tasks) {
    QStringList result;
    for (const TTaskInfo* task : tasks) result << task->Ftaskid;
    return result;
}

} // namespace

class TestTaskStore : public QObject {
    Q_OBJECT

private slots:
    void readerGroups_data();
    void readerGroups();
    void groupAValues();
    void failureStopsReading_data();
    void failureStopsReading();
    void listReplyWalk();
    void duplicateTaskIdStopsTheList();
    void dictionariesAreIndependent();
    void statusOutsideKnownStates();
};

void TestTaskStore::readerGroups_data() {
    QTest::addColumn<TaskReader>("reader");
    QTest::addColumn<int>("status");
    QTest::addColumn<TaskDictionary>("dictionary");
    QTest::addColumn<bool>("b");
    QTest::addColumn<bool>("c");
    QTest::addColumn<bool>("d");
    QTest::addColumn<bool>("handlerqq");

    QTest::newRow("hall page, open") << trHallPage << 0 << tdTaskCenter << false << true << true << true;
    QTest::newRow("hall page, taken") << trHallPage << 3 << tdTaskCenter << false << true << true << true;
    QTest::newRow("hall search, open") << trHallSearch << 0 << tdTaskCenter << false << false << false << false;
    QTest::newRow("hall search, taken") << trHallSearch << 1 << tdTaskCenter << true << false << true << false;
    QTest::newRow("taken page") << trHandledPage << 0 << tdHandled << true << true << true << true;
    QTest::newRow("taken search") << trHandledSearch << 2 << tdHandled << true << true << false << false;
    QTest::newRow("published page") << trPublishedPage << 0 << tdPublished << true << true << true << true;
    QTest::newRow("published search, open")
        << trPublishedSearch << 0 << tdPublished << false << false << false << false;
    QTest::newRow("published search, taken") << trPublishedSearch << 4 << tdPublished << true << false << true << true;
}

void TestTaskStore::readerGroups() {
    QFETCH(TaskReader, reader);
    QFETCH(int, status);
    QFETCH(TaskDictionary, dictionary);
    QFETCH(bool, b);
    QFETCH(bool, c);
    QFETCH(bool, d);
    QFETCH(bool, handlerqq);
    QCOMPARE(ReaderDictionary(reader), dictionary);

    // From an object with every key: exactly the reader's groups are filled.
    TTaskInfo task;
    ReadTaskInfo(fullTask("T1", status), reader, task);
    QCOMPARE(task.Ftaskid, QStringLiteral("T1"));
    QCOMPARE(int(task.Fstatus), status);
    QCOMPARE(task.Fhandleuserid, b ? 2048 : 0);
    QCOMPARE(task.Fhandletime.isValid(), b);
    QCOMPARE(task.Fshouldpaytime.isValid(), b);
    QCOMPARE(task.Fshouhuoandreplytime.isValid(), b);
    QCOMPARE(task.Fpublisherusername, c ? QStringLiteral("发单人") : QString());
    QCOMPARE(task.Fpublisherqq, c ? QStringLiteral("123456") : QString());
    QCOMPARE(task.Fhandlerusername, d ? QStringLiteral("接单人") : QString());
    QCOMPARE(task.Fhandlertaobaoxiaohao, d ? QStringLiteral("接单小号") : QString());
    QCOMPARE(task.Fhandlerqq, handlerqq ? QStringLiteral("654321") : QString());
    QCOMPARE(task.Fshouhuoandreplyintervalafterfahuo, it2Hour);

    // From an object holding only those groups' keys: nothing else is required.
    std::vector<std::string> keys = KeysA;
    if (b) keys.insert(keys.end(), KeysB.begin(), KeysB.end());
    if (c) keys.insert(keys.end(), KeysC.begin(), KeysC.end());
    if (d) keys.insert(keys.end(), KeysD.begin(), KeysD.end() - (handlerqq ? 0 : 1));
    const ReplyObject minimal = taskWithKeys("T2", status, keys);
    TTaskManagerClass store;
    std::vector<const TTaskInfo*> added;
    ReadTaskList(listReply(ReplyObject::array({minimal})), reader, store,
                 [&](const TTaskInfo& stored) { added.push_back(&stored); });
    QCOMPARE(ids(added), QStringList{QStringLiteral("T2")});
    QCOMPARE(store.Dictionary(dictionary).size(), std::size_t(1));
    QCOMPARE(store.Dictionary(dictionary).at(QStringLiteral("T2")).get(), added.front());
}

void TestTaskStore::groupAValues() {
    TTaskInfo task;
    ReadTaskInfo(fullTask("2016030100001", 5), trPublishedPage, task);
    QCOMPARE(task.Fid, 17);
    QCOMPARE(task.Fpublishtime, QDateTime(QDate(2016, 3, 1), QTime(9, 43, 27)));
    QCOMPARE(task.Fpublishuserid, 1024);
    QCOMPARE(task.Fpublishtaobaoxiaohao, QStringLiteral("买家小号"));
    QCOMPARE(task.Ftaskmoney.fen(), Q_INT64_C(1250));
    QCOMPARE(task.Fgoodskeyword, QStringLiteral("连衣裙 夏季"));
    QCOMPARE(task.Fmarks, QStringLiteral("null")); // a text member given as null reads as the text null
    QCOMPARE(task.Fstatus, tsTaskComplete);
    QCOMPARE(task.Fshouldshouhuoandreplytime, QDateTime(QDate(2016, 3, 4), QTime(18, 0)));
}

void TestTaskStore::failureStopsReading_data() {
    // The taken page reader reads A, B, C, D in order; three fields show how far it got.
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("json");              // the value put in its place; empty: the key is removed
    QTest::addColumn<bool>("taskid");               // A, second
    QTest::addColumn<bool>("marks");                // A, last
    QTest::addColumn<bool>("handlertaobaoxiaohao"); // D, third

    QTest::newRow("id as text") << "id"
                                << R"("17")" << false << false << false;
    QTest::newRow("id as decimal") << "id"
                                   << "17.5" << false << false << false;
    QTest::newRow("money not a number") << "taskmoney"
                                        << R"("12,50")" << true << false << false;
    QTest::newRow("status missing") << "status"
                                    << "" << true << false << false;
    QTest::newRow("status as text") << "status"
                                    << R"("1")" << true << false << false;
    QTest::newRow("marks an array") << "marks"
                                    << "[]" << true << false << false;
    QTest::newRow("date with slashes") << "handletime"
                                       << R"("2016/03/02 10:00:00")" << true << true << false;
    QTest::newRow("handler qq missing") << "handlerqq"
                                        << "" << true << true << true;
}

void TestTaskStore::failureStopsReading() {
    QFETCH(QString, key);
    QFETCH(QString, json);
    QFETCH(bool, taskid);
    QFETCH(bool, marks);
    QFETCH(bool, handlertaobaoxiaohao);
    ReplyObject object = fullTask("T1", 1);
    if (json.isEmpty())
        object.erase(key.toStdString());
    else
        object[key.toStdString()] = ReplyObject::parse(json.toStdString());

    TTaskInfo task;
    QVERIFY_THROWS_EXCEPTION(EReadError, ReadTaskInfo(object, trHandledPage, task));
    QCOMPARE(task.Ftaskid, taskid ? QStringLiteral("T1") : QString());
    QCOMPARE(task.Fmarks, marks ? QStringLiteral("null") : QString());
    QCOMPARE(task.Fhandlertaobaoxiaohao, handlertaobaoxiaohao ? QStringLiteral("接单小号") : QString());
    QVERIFY(task.Fhandlerqq.isEmpty());

    // In a list, the failing element ends the walk: the elements before it stay in the store.
    TTaskManagerClass store;
    std::vector<const TTaskInfo*> added;
    const ReplyObject body = ReplyObject::array({fullTask("T0", 1), object, fullTask("T2", 1)});
    QVERIFY_THROWS_EXCEPTION(EReadError, ReadTaskList(listReply(body), trHandledPage, store,
                                                      [&](const TTaskInfo& stored) { added.push_back(&stored); }));
    QCOMPARE(ids(added), QStringList{QStringLiteral("T0")});
    QCOMPARE(store.Dictionary(tdHandled).size(), std::size_t(1));
}

void TestTaskStore::listReplyWalk() {
    TTaskManagerClass store;
    std::vector<const TTaskInfo*> added;
    const auto collect = [&](const TTaskInfo& task) { added.push_back(&task); };

    // Elements that are not objects are skipped; the order is the reply's.
    const ReplyObject body = ReplyObject::array(
        {42, fullTask("B", 0), "text", ReplyObject::array({1, 2}), nullptr, fullTask("A", 0), fullTask("C", 0)});
    ReadTaskList(listReply(body), trHallPage, store, collect);
    QCOMPARE(ids(added), (QStringList{"B", "A", "C"}));
    QCOMPARE(store.Dictionary(tdTaskCenter).size(), std::size_t(3));

    // An empty page leaves the dictionary empty; a "msgbody" that is not an array is a failure.
    store.ClearTaskCenterTaskInfo();
    added.clear();
    ReadTaskList(listReply(ReplyObject::array()), trHallPage, store, collect);
    QVERIFY(added.empty());
    QVERIFY(store.Dictionary(tdTaskCenter).empty());
    QVERIFY_THROWS_EXCEPTION(EReadError, ReadTaskList(listReply(fullTask("X", 0)), trHallPage, store, collect));
    QVERIFY(store.Dictionary(tdTaskCenter).empty());
    QCOMPARE(ReplyTotalNum(listReply(ReplyObject::array())), 99);
}

void TestTaskStore::duplicateTaskIdStopsTheList() {
    TTaskManagerClass store;
    std::vector<const TTaskInfo*> added;
    ReplyObject duplicate = fullTask("T1", 2);
    duplicate["id"] = 99;
    const ReplyObject body = ReplyObject::array({fullTask("T1", 1), fullTask("t1", 1), duplicate, fullTask("T3", 1)});
    try {
        ReadTaskList(listReply(body), trPublishedPage, store, [&](const TTaskInfo& task) { added.push_back(&task); });
        QFAIL("a duplicate task id was accepted");
    } catch (const EReadError& error) {
        QCOMPARE(error.message(), QStringLiteral("Duplicates not allowed"));
    }
    // Keys compare case-sensitively; the first record of the duplicate id stays as it was.
    QCOMPARE(ids(added), (QStringList{"T1", "t1"}));
    const auto& published = store.Dictionary(tdPublished);
    QCOMPARE(published.size(), std::size_t(2));
    QCOMPARE(published.at(QStringLiteral("T1"))->Fid, 17);
    QCOMPARE(published.at(QStringLiteral("T1"))->Fstatus, tsWaitforPay);
    QVERIFY(!published.count(QStringLiteral("T3")));
}

void TestTaskStore::dictionariesAreIndependent() {
    TTaskManagerClass store;
    ReadTaskList(listReply(ReplyObject::array({fullTask("A", 0), fullTask("B", 1)})), trHallPage, store);
    ReadTaskList(listReply(ReplyObject::array({fullTask("A", 1)})), trHandledPage, store);
    ReadTaskList(listReply(ReplyObject::array({fullTask("P", 0)})), trPublishedSearch, store);
    // The same task in two dictionaries is two records.
    QVERIFY(store.Dictionary(tdTaskCenter).at("A").get() != store.Dictionary(tdHandled).at("A").get());

    // A second hall fetch (clear, then read) keeps only its own records and touches no other screen's.
    store.ClearTaskCenterTaskInfo();
    ReadTaskList(listReply(ReplyObject::array({fullTask("C", 0)})), trHallSearch, store);
    QCOMPARE(store.Dictionary(tdTaskCenter).size(), std::size_t(1));
    QVERIFY(store.Dictionary(tdTaskCenter).count("C"));
    QCOMPARE(store.Dictionary(tdHandled).size(), std::size_t(1));
    QCOMPARE(store.Dictionary(tdPublished).size(), std::size_t(1));

    store.ClearHandledTaskInfo();
    store.ClearPublishedTaskInfo();
    QVERIFY(store.Dictionary(tdHandled).empty());
    QVERIFY(store.Dictionary(tdPublished).empty());
    QCOMPARE(store.Dictionary(tdTaskCenter).size(), std::size_t(1));

    // The named operations and the process-wide instance work the same way.
    TaskManager.ClearHandledTaskInfo();
    const auto record = [] {
        auto task = std::make_unique<TTaskInfo>();
        task->Ftaskid = QStringLiteral("Z");
        return task;
    };
    const PTaskInfo added = TaskManager.AddHandledTaskInfo(record());
    QCOMPARE(TaskManager.Dictionary(tdHandled).at("Z").get(), added);
    QVERIFY_THROWS_EXCEPTION(EReadError, TaskManager.AddHandledTaskInfo(record()));
    TaskManager.ClearHandledTaskInfo();
    QVERIFY(TaskManager.Dictionary(tdHandled).empty());
}

void TestTaskStore::statusOutsideKnownStates() {
    // A status the client does not know is kept as sent; one that does not fit the byte is a failure.
    TTaskInfo task;
    ReadTaskInfo(fullTask("U", 9), trHallSearch, task);
    QCOMPARE(int(task.Fstatus), 9);
    QVERIFY(task.Fhandletime.isValid()); // not tsWaitforHandle: the progress times are read
    QCOMPARE(TaskStatusName(task.Fstatus), QStringLiteral("未知状态(9)"));
    for (const int status : {256, 257, -1}) {
        TTaskInfo outside;
        QVERIFY_THROWS_EXCEPTION(EReadError, ReadTaskInfo(fullTask("U", status), trHallPage, outside));
        QCOMPARE(outside.Fstatus, tsWaitforHandle);
    }
}

QTEST_GUILESS_MAIN(TestTaskStore)
#include "test_TaskStore.moc"
