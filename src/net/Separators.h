#pragma once

#include <QString>

// The separators that cut every server reply into blocks, lines and fields.
// They are matched exactly and case-sensitively; nothing escapes them.
inline const QString kSepBlock = QStringLiteral("<blk>");
inline const QString kSepLine = QStringLiteral("<ln>");
inline const QString kSepField = QStringLiteral("<fld>");
inline const QString kSepSubField = QStringLiteral("<subfld>");
inline const QString kSepChatBlock = QStringLiteral("<tvr_blk>");
inline const QString kSepChatLine = QStringLiteral("<tvr_ln>");
inline const QString kSepChatType = QStringLiteral("<tvr_type_split>");
inline const QString kSepChatField = QStringLiteral("<tvr_fld>");  // defined by the protocol, unused

// The reply text that stands for a request that failed at the network level.
inline const QString kDisconnect = QStringLiteral("DISCONNNNECT");
