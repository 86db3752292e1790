#include "model/uTaskManagerClass.h"

#include "model/uRecordReader.h"

#include <array>
#include <span>

TTaskManagerClass TaskManager;

// ---- Store -------------------------------------------------------------------------------------

PTaskInfo TTaskManagerClass::Add(TaskDictionary dictionary, std::unique_ptr<TTaskInfo> task) {
    if (!task) throw std::logic_error("no task record to add");
    TDictionary& target = dictionaryRef(dictionary);
    const auto [it, inserted] = target.try_emplace(task->Ftaskid, nullptr);
    if (!inserted) throw EReadError(QStringLiteral("Duplicates not allowed"));
    it->second = std::move(task);
    return it->second.get();
}

void TTaskManagerClass::Clear(TaskDictionary dictionary) { dictionaryRef(dictionary).clear(); }

const TTaskManagerClass::TDictionary& TTaskManagerClass::Dictionary(TaskDictionary dictionary) const {
    switch (dictionary) {
    case tdTaskCenter: return FdtTaskCenterTaskInfo;
    case tdHandled: return FdtHandledTaskInfo;
    case tdPublished: return FdtPublishedTaskInfo;
    }
    throw std::logic_error("unknown task dictionary");
}

TTaskManagerClass::TDictionary& TTaskManagerClass::dictionaryRef(TaskDictionary dictionary) {
    return const_cast<TDictionary&>(std::as_const(*this).Dictionary(dictionary));
}

// ---- Readers -----------------------------------------------------------------------------------

namespace {

using TaskMember = MemberReader<TTaskInfo>;
using TaskGroup = std::span<const TaskMember>;

// A: the task itself, always read.
constexpr TaskMember GroupA[] = {
    Member<&TTaskInfo::Fid>("id"),
    Member<&TTaskInfo::Ftaskid>("taskid"),
    Member<&TTaskInfo::Fpublishtime>("publishtime"),
    Member<&TTaskInfo::Fpublishuserid>("publishuserid"),
    Member<&TTaskInfo::Fpublishtaobaoxiaohao>("publishtaobaoxiaohao"),
    Member<&TTaskInfo::Ftaskmoney>("taskmoney"),
    Member<&TTaskInfo::Fshopkeeperusername>("shopkeeperusername"),
    Member<&TTaskInfo::Fgoodskeyword>("goodskeyword"),
    Member<&TTaskInfo::Freplymsg>("replymsg"),
    Member<&TTaskInfo::Fdetailrequirement>("detailrequirement"),
    Member<&TTaskInfo::Fstatus>("status"),
    Member<&TTaskInfo::Fmarks>("marks"),
};

// B: progress times.
constexpr TaskMember GroupB[] = {
    Member<&TTaskInfo::Fhandleuserid>("handleuserid"),
    Member<&TTaskInfo::Fhandletime>("handletime"),
    Member<&TTaskInfo::Fshouldpaytime>("shouldpaytime"),
    Member<&TTaskInfo::Fpaytime>("paytime"),
    Member<&TTaskInfo::Ffahuotime>("fahuotime"),
    Member<&TTaskInfo::Fshouldshouhuoandreplytime>("shouldshouhuoandreplytime"),
    Member<&TTaskInfo::Fshouhuoandreplytime>("shouhuoandreplytime"),
};

// C: publisher contact.
constexpr TaskMember GroupC[] = {
    Member<&TTaskInfo::Fpublisherusername>("publisherusername"),
    Member<&TTaskInfo::Fpublishershopkeeperusername>("publishershopkeeperusername"),
    Member<&TTaskInfo::Fpublishertaobaoxiaohao>("publishertaobaoxiaohao"),
    Member<&TTaskInfo::Fpublisherqq>("publisherqq"),
};

// D: handler contact; the hall search reads it without the last member, "handlerqq".
constexpr TaskMember GroupD[] = {
    Member<&TTaskInfo::Fhandlerusername>("handlerusername"),
    Member<&TTaskInfo::Fhandlershopkeeperusername>("handlershopkeeperusername"),
    Member<&TTaskInfo::Fhandlertaobaoxiaohao>("handlertaobaoxiaohao"),
    Member<&TTaskInfo::Fhandlerqq>("handlerqq"),
};
constexpr TaskGroup GroupDWithoutQQ = TaskGroup(GroupD).first(3);

enum GroupUse { guNever, guAlways, guOnceTaken };

struct GroupRead {
    TaskGroup members;
    GroupUse use;
};

struct TaskReaderSpec {
    TaskDictionary dictionary;
    std::array<GroupRead, 4> groups; // read in this order; A comes first, so "status" is known
};

constexpr TaskReaderSpec ReaderSpecs[] = {
    // trHallPage
    {tdTaskCenter, {{{GroupA, guAlways}, {GroupB, guNever}, {GroupC, guAlways}, {GroupD, guAlways}}}},
    // trHallSearch
    {tdTaskCenter, {{{GroupA, guAlways}, {GroupB, guOnceTaken}, {GroupC, guNever}, {GroupDWithoutQQ, guOnceTaken}}}},
    // trHandledPage
    {tdHandled, {{{GroupA, guAlways}, {GroupB, guAlways}, {GroupC, guAlways}, {GroupD, guAlways}}}},
    // trHandledSearch
    {tdHandled, {{{GroupA, guAlways}, {GroupB, guAlways}, {GroupC, guAlways}, {GroupD, guNever}}}},
    // trPublishedPage
    {tdPublished, {{{GroupA, guAlways}, {GroupB, guAlways}, {GroupC, guAlways}, {GroupD, guAlways}}}},
    // trPublishedSearch
    {tdPublished, {{{GroupA, guAlways}, {GroupB, guOnceTaken}, {GroupC, guNever}, {GroupD, guOnceTaken}}}},
};

const TaskReaderSpec& readerSpec(TaskReader reader) {
    const auto index = std::size_t(reader);
    if (index >= std::size(ReaderSpecs)) throw std::logic_error("unknown task reader");
    return ReaderSpecs[index];
}

} // namespace

TaskDictionary ReaderDictionary(TaskReader reader) { return readerSpec(reader).dictionary; }

void ReadTaskInfo(const ReplyObject& object, TaskReader reader, TTaskInfo& task) {
    for (const GroupRead& group : readerSpec(reader).groups) {
        const bool read = group.use == guAlways || (group.use == guOnceTaken && task.Fstatus != tsWaitforHandle);
        if (read) ReadMembers(object, group.members, task);
    }
}

void ReadTaskList(const ReplyObject& reply, TaskReader reader, TTaskManagerClass& store,
                  const std::function<void(const TTaskInfo&)>& onTask) {
    const TaskDictionary dictionary = ReaderDictionary(reader);
    ReadRecordList<TTaskInfo>(
        reply, [reader](const ReplyObject& object, TTaskInfo& task) { ReadTaskInfo(object, reader, task); },
        [&](TTaskInfo&& task) {
            const PTaskInfo stored = store.Add(dictionary, std::make_unique<TTaskInfo>(std::move(task)));
            if (onTask) onTask(*stored);
        });
}
