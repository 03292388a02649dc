#pragma once
// Test helpers of the install object model: a recorder of the stage codes a
// dialog helper hears, a recorder of the information codes a container gets,
// and a prompter that answers from a script.

#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstallContainer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace qxtest {

// An install object of a given rank, processable like the real kinds.
template <int Rank>
class TRankedObject : public TInstallObject {
 public:
  explicit TRankedObject(TComponent* owner) : TInstallObject(owner) { SetProcessable(true); }
  int GetRegisteredType() const override { return Rank; }
};

// "Name:Order" of each helper, in list order.
QStringList HelperLines(const TInstallContainer& container);

// The message of the E that f raises; "<nothing raised>" when none.
template <class E, class F>
QString MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return QStringLiteral("<nothing raised>");
}

// One code as a recorder saw it.
struct TRecordedCode {
  QString sender;  // the sender's Name
  int code = 0;
  TObject* param = nullptr;  // valid only during the call
  bool operator==(const TRecordedCode& other) const {
    return sender == other.sender && code == other.code;
  }
};

// A dialog helper (registered type 9000) that records every stage code its
// container broadcasts; OnMessage runs after recording (to raise, say).
class TStageRecorder : public TInstallObject {
 public:
  explicit TStageRecorder(TComponent* owner) : TInstallObject(owner) {}
  int GetRegisteredType() const override { return rtDialog; }
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;

  QList<TRecordedCode> Codes;
  std::function<void(TInstallContainer* sender, int code, TObject* param)> OnMessage;

  // "Sender:code" lines, for readable comparisons.
  QStringList Lines() const;
};

// A container (registered type 1000 unless set) that records the
// information codes its helpers send it, and passes them on upward.
class TInformationRecorder : public TInstallObject {
 public:
  explicit TInformationRecorder(TComponent* owner) : TInstallObject(owner) {
    SetProcessableForTest(true);
  }
  int GetRegisteredType() const override { return RegisteredType; }
  void DoInformationEventControl(TInstallContainer* sender, int code, TObject* po) override;
  void SetProcessableForTest(bool value) { SetProcessable(value); }

  int RegisteredType = rtFileContainer;
  QList<TRecordedCode> Codes;
};

// Answers prompts from a script of expected ids, in order. An ask that is
// not the next expected one (or comes after the script ends) is answered
// Cancel and noted in Failures.
class TScriptedPrompter : public TInstallPrompter {
 public:
  struct TStep {
    TPromptId id;
    TPromptAnswer answer;
  };
  explicit TScriptedPrompter(std::deque<TStep> script) : script_(std::move(script)) {}
  TPromptAnswer Ask(const TPromptRequest& request) override;

  QList<TPromptRequest> Requests;
  QStringList Failures;
  bool Done() const { return script_.empty(); }

 private:
  std::deque<TStep> script_;
};

}  // namespace qxtest
