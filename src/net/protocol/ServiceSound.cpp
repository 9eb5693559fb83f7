#include "ServiceSound.h"

#include <QLatin1String>

ServiceSound ServiceSoundNamed(QStringView name) {
  static constexpr struct {
    const char* word;
    ServiceSound sound;
  } kWords[] = {{"sound1", ServiceSound::ChatRequest},   {"sound2", ServiceSound::ChatRequestBusy},
                {"sound3", ServiceSound::Message},       {"NewVisitor", ServiceSound::NewVisitor},
                {"chat_tran_snd", ServiceSound::ChatTransfer}, {"sound4", ServiceSound::NewChatLine}};
  for (const auto& word : kWords)
    if (name == QLatin1String(word.word)) return word.sound;
  return ServiceSound::None;
}
