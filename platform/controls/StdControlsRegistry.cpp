#include "platform/classes/ClassRegistry.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Memo.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/TreeView.h"

namespace {

template <class T>
void RegisterOnce() {
  if (GetClass(MetaClassOf<T>().ClassName()) == nullptr) RegisterClass<T>();
}

}  // namespace

void RegisterStdControlClasses() {
  RegisterOnce<TEdit>();
  RegisterOnce<TMemo>();
  RegisterOnce<TRichEdit>();
  RegisterOnce<TListBox>();
  RegisterOnce<TComboBox>();
  RegisterOnce<TPageControl>();
  RegisterOnce<TTabSheet>();
  RegisterOnce<TTabControl>();
  RegisterOnce<TTreeView>();
  RegisterOnce<TListView>();
  RegisterOnce<TImageList>();
}
