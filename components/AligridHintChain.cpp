// The chain of show-hint handlers: one receiver component owned by the
// application object, installed as its OnShowHint while the application
// lives.
#include "components/Aligrid.h"

#include "platform/rtl/ProcessState.h"

namespace {

class THintEntry : public TObject {
 public:
  THintEntry(TObject* object, const void* routine, TShowHintEvent handler)
      : object_(object), routine_(routine), handler_(std::move(handler)) {}
  bool Is(TObject* object, const void* routine) const {
    return object_ == object && routine_ == routine;
  }
  const TShowHintEvent& Handler() const { return handler_; }

 private:
  TObject* object_;
  const void* routine_;
  TShowHintEvent handler_;
};

class THintChain;
// The chain while its application lives; cleared by the chain itself.
THintChain* g_chain = nullptr;

class THintChain : public TComponent {
 public:
  explicit THintChain(TApplication* app) : TComponent(app), app_(app), previous_(app->OnShowHint) {
    if (previous_) entries_.Add(new THintEntry(nullptr, nullptr, previous_));
    g_chain = this;
  }
  ~THintChain() override { Detach(); }

  TApplication* App() const { return app_; }
  TObjectList& Entries() { return entries_; }

  void Install() {
    app_->OnShowHint = [](QString& text, bool& canShow, THintInfo& info) {
      if (g_chain != nullptr) g_chain->Dispatch(text, canShow, info);
    };
  }

  // The last joined first; each sees what the earlier ones left. An entry
  // may leave (or a grid be freed) during the call, so the index is checked
  // again each time and the handler is copied before it runs.
  void Dispatch(QString& text, bool& canShow, THintInfo& info) {
    for (int i = entries_.Count() - 1; i >= 0; --i) {
      if (i >= entries_.Count()) continue;
      const TShowHintEvent handler = static_cast<THintEntry*>(entries_.Items(i))->Handler();
      if (handler) handler(text, canShow, info);
    }
  }

  // Gives the application its old handler back; the chain is gone after.
  void Detach() {
    if (g_chain != this) return;
    g_chain = nullptr;
    app_->OnShowHint = previous_;
    entries_.Clear();
  }

 protected:
  void BeforeDestruction() override {
    Detach();
    TComponent::BeforeDestruction();
  }

 private:
  TApplication* app_;
  TShowHintEvent previous_;
  TObjectList entries_;
};

const TResetHook kResetChain([] {
  if (g_chain != nullptr) g_chain->Free();
});

THintChain* ChainFor(TApplication* app) {
  if (g_chain != nullptr && g_chain->App() != app) g_chain->Free();
  if (g_chain == nullptr && app != nullptr) {
    new THintChain(app);  // owned by the application
  }
  return g_chain;
}

}  // namespace

void JoinHintChain(TObject* object, const void* routine, TShowHintEvent handler) {
  THintChain* chain = ChainFor(Application);
  if (chain == nullptr) return;
  chain->Entries().Add(new THintEntry(object, routine, std::move(handler)));
  chain->Install();
}

void LeaveHintChain(TObject* object, const void* routine) {
  if (g_chain == nullptr) return;
  TObjectList& entries = g_chain->Entries();
  for (int i = entries.Count() - 1; i >= 0; --i) {
    if (static_cast<THintEntry*>(entries.Items(i))->Is(object, routine)) entries.Delete(i);
  }
}

int HintChainCount() { return g_chain != nullptr ? g_chain->Entries().Count() : 0; }
