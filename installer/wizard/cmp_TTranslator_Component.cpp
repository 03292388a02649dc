// Translating a component and everything it owns.

#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Properties.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Form.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Memo.h"
#include "platform/rtl/StrUtils.h"

namespace {

void TranslateItems(const TTranslator& translator, TOndxLanguage source, TStrings* items) {
  if (items == nullptr) return;
  for (int i = 0; i < items->Count(); ++i) {
    const QString text = items->Get(i);
    const QString translated = translator.TranslateString(source, text);
    if (translated != text) items->Put(i, translated);
  }
}

TStrings* ItemsOf(TComponent* component) {
  if (auto* list = dynamic_cast<TCustomListBox*>(component)) return list->Items();
  if (auto* combo = dynamic_cast<TCustomComboBox*>(component)) return combo->Items();
  if (auto* group = dynamic_cast<TRadioGroup*>(component)) return group->Items();
  return nullptr;
}

// A control is hidden while its texts change (forms and images excepted) and
// a label does not resize on each; both come back, also on an error.
class TTranslationScope {
 public:
  explicit TTranslationScope(TComponent* component)
      : control_(dynamic_cast<TControl*>(component)) {
    if (control_ == nullptr) return;
    visible_ = control_->Visible();
    if (dynamic_cast<TForm*>(control_) == nullptr && dynamic_cast<TImage*>(control_) == nullptr)
      control_->SetVisible(false);
    label_ = dynamic_cast<TCustomLabel*>(control_);
    if (label_ != nullptr) {
      autoSize_ = label_->AutoSize();
      label_->SetAutoSize(false);
    }
  }
  ~TTranslationScope() {
    if (control_ == nullptr) return;
    if (label_ != nullptr) label_->SetAutoSize(autoSize_);
    control_->SetVisible(visible_);
    if (auto* windowed = dynamic_cast<TWinControl*>(control_)) windowed->Realign();
  }
  TTranslationScope(const TTranslationScope&) = delete;
  TTranslationScope& operator=(const TTranslationScope&) = delete;

 private:
  TControl* control_;
  TCustomLabel* label_ = nullptr;
  bool visible_ = false;
  bool autoSize_ = false;
};

}  // namespace

void TTranslator::TranslateProperties(TOndxLanguage source, TComponent* component) {
  const TMetaClass* meta = FindMetaClass(*component);
  // A control made in code whose class never had its table built still has
  // the texts every control publishes.
  if (meta == nullptr && dynamic_cast<TControl*>(component) != nullptr) meta = &MetaClassOf<TControl>();
  if (meta != nullptr) {
    for (const TPropInfo* info : meta->Properties()) {
      if (info->kind != TPropKind::String || !info->IsWritable()) continue;
      if (info->name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) continue;
      const QString value = info->getString(component);
      if (Trim(value).isEmpty()) continue;
      const QString translated = TranslateString(source, value);
      if (translated != value) info->setString(component, translated);
    }
  }
  if (auto* memo = dynamic_cast<TCustomMemo*>(component)) {
    TStringList result;
    TranslateMemo(source, *memo->Lines(), result);
    if (!result.Equals(*memo->Lines())) memo->Lines()->Assign(result);
  }
  if (auto* view = dynamic_cast<TCustomListView*>(component)) {
    TListColumns* columns = view->Columns();
    for (int i = 0; i < columns->Count(); ++i) {
      auto* column = static_cast<TListColumn*>(columns->Items(i));
      column->SetCaption(TranslateString(source, column->Caption()));
    }
  }
  TranslateItems(*this, source, ItemsOf(component));
}

TOndxLanguage TTranslator::TranslateComponent(TOndxLanguage source, TComponent* component) {
  if (component == nullptr) return source;
  {
    TTranslationScope scope(component);
    const std::optional<int> glid = GLIDOf(component);
    if (glid && *glid > 0) {
      auto* control = static_cast<TControl*>(component);
      control->SetCaption(TranslateById(*glid, control->Caption()));
    } else if (!glid || *glid == 0) {
      TranslateProperties(source, component);
    }
    for (int i = 0; i < component->ComponentCount(); ++i) {
      TComponent* owned = component->Components(i);
      if (dynamic_cast<TForm*>(owned) == nullptr) TranslateComponent(source, owned);
    }
  }
  const TLanguage* current = CurrentLanguage();
  return current != nullptr && current->Strings()->Count() > 0 ? into_ : source;
}
