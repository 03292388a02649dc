#include "installer/engine/tests/InstallTestSupport.h"

namespace qxtest {

QStringList HelperLines(const TInstallContainer& container) {
  QStringList lines;
  for (int i = 0; i < container.HelperCount(); ++i) {
    const TInstallObject* helper = container.GetHelper(i);
    lines << QStringLiteral("%1:%2").arg(helper->Name()).arg(helper->Order());
  }
  return lines;
}

void TStageRecorder::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  Codes.append({sender != nullptr ? sender->Name() : QString(), code, param});
  if (OnMessage) OnMessage(sender, code, param);
}

QStringList TStageRecorder::Lines() const {
  QStringList lines;
  for (const TRecordedCode& c : Codes) lines << QStringLiteral("%1:%2").arg(c.sender).arg(c.code);
  return lines;
}

void TInformationRecorder::DoInformationEventControl(TInstallContainer* sender, int code,
                                                     TObject* po) {
  Codes.append({sender != nullptr ? sender->Name() : QString(), code, po});
  SendInformation(code, po);
}

TPromptAnswer TScriptedPrompter::Ask(const TPromptRequest& request) {
  Requests.append(request);
  if (script_.empty() || script_.front().id != request.id) {
    Failures << QStringLiteral("unexpected prompt %1: %2")
                    .arg(static_cast<int>(request.id))
                    .arg(request.text);
    return TPromptAnswer{TPromptButton::Cancel, request.path};
  }
  TPromptAnswer answer = script_.front().answer;
  script_.pop_front();
  if (answer.path.isEmpty()) answer.path = request.path;
  return answer;
}

}  // namespace qxtest
