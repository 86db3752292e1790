// Any reply through ParseReply and then every reader of the client. Reading failures are expected;
// anything else (a crash, another exception) is a finding.
// First byte 'H': the rest is taken as the raw reply holder (hex); otherwise the input is the JSON
// text, enciphered first, so that the fuzzer reaches the readers.
#include "model/uCommonVarConst.h"
#include "model/uTaskManagerClass.h"
#include "remote/uCipher.h"
#include "remote/uReply.h"

#include <cstdint>

namespace {
template <typename F> void tryRead(F&& read) {
    try {
        read();
    } catch (const EReadError&) {
    }
}

template <typename Record, typename Reader> void readAll(const ReplyObject& reply, Reader reader) {
    tryRead([&] {
        for (const ReplyObject* object : ReplyRecords(reply)) {
            Record record;
            reader(*object, record);
        }
    });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray holder;
    if (size > 0 && data[0] == 'H') {
        holder = QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    } else {
        const QString json = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
        holder = EncipherToHex(json, ChannelKey).toLatin1();
    }
    ReplyObject reply;
    try {
        reply = ParseReply(holder);
    } catch (const EReadError&) {
        return 0;
    }
    tryRead([&] { ReplyReturnCode(reply); });
    tryRead([&] { ReplyReturnMsg(reply); });
    tryRead([&] { ReplyTotalNum(reply); });
    tryRead([&] {
        TUserInfo user;
        FillUserInfoFromLoginReply(user, reply);
    });
    for (TaskReader reader :
         {trHallPage, trHallSearch, trHandledPage, trHandledSearch, trPublishedPage, trPublishedSearch}) {
        TTaskManagerClass store;
        tryRead([&] { ReadTaskList(reply, reader, store); });
    }
    readAll<TBasicInfo>(reply, ReadBasicInfo);
    readAll<TRechargeInfo>(reply, ReadRechargeInfo);
    readAll<TWithdrawInfo>(reply, ReadWithdrawInfo);
    readAll<TTradeLog>(reply, ReadTradeLog);
    readAll<TOptLog>(reply, ReadOptLog);
    readAll<TSubUserInfo>(reply, ReadSubUserInfo);
    return 0;
}
