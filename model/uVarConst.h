#pragma once
// Program-wide constants compiled into the client, and the links built from them.
#include <QString>

// The product's name.
inline const QString ProductName = QStringLiteral("Quorvane");

// The platform server's REST endpoint.
inline const QString RestHost = QStringLiteral(QUORVANE_REST_HOST);
inline constexpr int RestPort = QUORVANE_REST_PORT;

// The support QQ number.
inline const QString SupportQQ = QStringLiteral(QUORVANE_SUPPORT_QQ);

// The QQ chat link; one QQ number fills both placeholders.
inline const QString QQChatLinkFormat = QStringLiteral("tencent://message/?uin=%s&Site=%s&Menu=yes");

// The platform web site's address, without a trailing slash ("http://host:port").
QString SiteAddress();

// The QQ chat link for a number. The number is not validated (an empty one gives empty
// placeholders); characters that would break the link's query (blanks, '&', '#', ...) are
// percent-encoded, so digits come out unchanged.
QString QQChatLink(const QString& qq);
// The support contact: QQChatLink(SupportQQ).
QString SupportQQChatLink();

// The publisher's and the handler's guide pages: the site's address with "?post=5" / "?post=6".
QString PublisherGuideLink();
QString HandlerGuideLink();

// The invitation link of a user: the site's address followed directly by "?uid=<id>".
QString InviteLink(int userId);
