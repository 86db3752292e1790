#include "remote/uRemoteCall.h"

#include "model/uCommonVarConst.h"

std::optional<TRemoteReply> SendCommand(const TServices& services, QWidget* owner, TCommand command,
                                        const std::vector<TCommandValue>& values, const QString& failurePrefix) {
    QStringList head = BuildHeadList(command);
    const QStringList data = BuildDataList(command, values);
    QByteArray response;
    QString errorText;
    const TUserInfo& user = CurrentUser();
    if (!ExecRemoteProc(owner, &head, &data, &response, errorText, ClientType, user.Fusername, user.Fuserpass, true,
                        services.channel)) {
        ShowTransportFailure(services.prompter, owner, failurePrefix, errorText);
        return std::nullopt;
    }
    TRemoteReply reply;
    reply.object = ParseReply(response);
    reply.code = ReplyReturnCode(reply.object);
    reply.msg = ReplyReturnMsg(reply.object);
    return reply;
}

void SendCommandIgnoringReply(const TServices& services, QWidget* owner, TCommand command) {
    QStringList head = BuildHeadList(command);
    const QStringList data = BuildDataList(command);
    QByteArray response;
    QString errorText;
    const TUserInfo& user = CurrentUser();
    ExecRemoteProc(owner, &head, &data, &response, errorText, ClientType, user.Fusername, user.Fuserpass, true,
                   services.channel);
}
