#pragma once

#include <QStringView>

// The sounds the service names in its replies: the refresh reply's sound
// block ("sound1", "sound2", "sound3", "NewVisitor", "chat_tran_snd"), a
// chat poll's sound flag ("sound4") and a messages reply's ("sound3").
// Above the protocol only these values are seen, never the words.
enum class ServiceSound {
  None,             // empty, or a word the console does not know
  ChatRequest,      // "sound1": a visitor asks for a chat
  ChatRequestBusy,  // "sound2": the same while the operator is chatting
  Message,          // "sound3": a message from another operator
  NewVisitor,       // "NewVisitor"
  ChatTransfer,     // "chat_tran_snd"
  NewChatLine,      // "sound4": a new line of the other side of a chat
};

ServiceSound ServiceSoundNamed(QStringView name);
