#pragma once
// Table-driven reading of reply objects into plain records.
//
// A record reader is a list of (member name, field) pairs; ReadMembers walks the list in order and
// stores each member's value in its field with the reading rules of remote/uReply.h. The kind of
// reading follows from the field's type (int: integer, QString: text, Money: decimal, QDateTime:
// date-time, a one-byte enumeration: integer 0..255) unless the entry names another kind (integer
// from text). A member that is missing or does not convert throws EReadError; the fields read
// before it keep their values.
#include "remote/uReply.h"

#include <QDateTime>
#include <QString>
#include <span>
#include <type_traits>

enum class ReadKind { Default, IntFromText };

template <class TRecord> struct MemberReader {
    const char* name;
    void (*read)(TRecord& record, const ReplyObject& object, const char* name);
};

namespace record_reader_detail {

template <class T> struct MemberPointer;
template <class TRecord, class TField> struct MemberPointer<TField TRecord::*> {
    using Record = TRecord;
    using Field = TField;
};

template <class T> inline constexpr bool AlwaysFalse = false;

// An enumeration stored in one byte: the member must be an integer that fits the byte.
template <class TEnum> TEnum ReadByteEnum(const ReplyObject& object, const char* name) {
    static_assert(sizeof(TEnum) == 1);
    const int value = ReplyInt(object, name);
    if (value < 0 || value > 255)
        throw EReadError(QStringLiteral("返回数据成员\"%1\"的值%2超出范围").arg(QString::fromUtf8(name)).arg(value));
    return static_cast<TEnum>(value);
}

template <auto Field, ReadKind Kind>
void ReadInto(typename MemberPointer<decltype(Field)>::Record& record, const ReplyObject& object, const char* name) {
    using TField = typename MemberPointer<decltype(Field)>::Field;
    if constexpr (Kind == ReadKind::IntFromText) {
        static_assert(std::is_same_v<TField, int>);
        record.*Field = ReplyIntFromText(object, name);
    } else if constexpr (std::is_same_v<TField, int>) {
        record.*Field = ReplyInt(object, name);
    } else if constexpr (std::is_same_v<TField, QString>) {
        record.*Field = ReplyText(object, name);
    } else if constexpr (std::is_same_v<TField, Money>) {
        record.*Field = ReplyMoney(object, name);
    } else if constexpr (std::is_same_v<TField, QDateTime>) {
        record.*Field = ReplyDateTime(object, name);
    } else if constexpr (std::is_enum_v<TField>) {
        record.*Field = ReadByteEnum<TField>(object, name);
    } else {
        static_assert(AlwaysFalse<TField>, "no reading rule for this field type");
    }
}

} // namespace record_reader_detail

// One table entry: Member<&TTaskInfo::Fid>("id").
template <auto Field, ReadKind Kind = ReadKind::Default>
constexpr MemberReader<typename record_reader_detail::MemberPointer<decltype(Field)>::Record> Member(const char* name) {
    return {name, &record_reader_detail::ReadInto<Field, Kind>};
}

// Reads the listed members of `object` in order into `record`.
template <class TRecord>
void ReadMembers(const ReplyObject& object, std::span<const MemberReader<TRecord>> members, TRecord& record) {
    for (const MemberReader<TRecord>& member : members) member.read(record, object, member.name);
}

// The list walk shared by every list reply: each object of "msgbody" in order becomes a zero record
// filled by `read(object, record)` and is then handed to `sink(std::move(record))`. Elements that
// are not objects are skipped. A reading failure stops the walk there: the records already handed
// to the sink stay with it, the failing record is dropped.
template <class TRecord, class TRead, class TSink>
void ReadRecordList(const ReplyObject& reply, TRead&& read, TSink&& sink) {
    for (const ReplyObject* object : ReplyRecords(reply)) {
        TRecord record{};
        read(*object, record);
        sink(std::move(record));
    }
}
