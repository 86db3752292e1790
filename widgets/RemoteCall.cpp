#include "widgets/RemoteCall.h"

#include "model/uCommonVarConst.h"
#include "widgets/ufrmWaitForProcessDone.h"

std::optional<RemoteReply> SendCommand(const Services& services, QWidget* owner, TCommand command,
                                       const std::vector<CommandValue>& values, const QString& failurePrefix) {
    QStringList head = BuildHeadList(command);
    const QStringList data = BuildDataList(command, values);
    QByteArray response;
    QString errorText;
    const TUserInfo& user = CurrentUser();
    if (!ExecRemoteProc(owner, &head, &data, &response, errorText, ClientType, user.Fusername, user.Fuserpass,
                        ShowWaitDialog, services.channel)) {
        ShowTransportFailure(services.prompter, owner, failurePrefix, errorText);
        return std::nullopt;
    }
    RemoteReply reply;
    reply.object = ParseReply(response);
    reply.code = ReplyReturnCode(reply.object);
    reply.msg = ReplyReturnMsg(reply.object);
    return reply;
}

void SendCommandIgnoringReply(const Services& services, QWidget* owner, TCommand command) {
    QStringList head = BuildHeadList(command);
    const QStringList data = BuildDataList(command);
    QByteArray response;
    QString errorText;
    const TUserInfo& user = CurrentUser();
    ExecRemoteProc(owner, &head, &data, &response, errorText, ClientType, user.Fusername, user.Fuserpass,
                   ShowWaitDialog, services.channel);
}
