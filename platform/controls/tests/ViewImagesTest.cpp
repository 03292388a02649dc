// The image lists of the list and tree views: a view follows their changes
// and frees, and a freed view is no longer called back.
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/graphics/Bitmap.h"

#include <functional>

namespace {

struct ViewCase {
  const char* name;
  // Makes the view showing images (as Images/SmallImages) and state images.
  std::function<TControl*(TForm*, TImageList*, TImageList*)> make;
};

const ViewCase kViews[] = {
    {"ListView",
     [](TForm* form, TImageList* images, TImageList* state) -> TControl* {
       auto* view = new TListView(form);
       view->SetParent(form);
       view->SetSmallImages(images);
       view->SetStateImages(state);
       EXPECT_EQ(view->SmallImages(), images);
       return view;
     }},
    {"TreeView",
     [](TForm* form, TImageList* images, TImageList* state) -> TControl* {
       auto* view = new TTreeView(form);
       view->SetParent(form);
       view->SetImages(images);
       view->SetStateImages(state);
       EXPECT_EQ(view->Images(), images);
       return view;
     }},
};

class ViewImagesTest : public NativeControlsTest, public testing::WithParamInterface<ViewCase> {
 protected:
  TImageList* NewList() {
    auto* list = new TImageList(form.get());
    list->SetWidth(2);
    list->SetHeight(2);
    TBitmap bmp;
    bmp.SetSize(2, 2);
    list->Add(&bmp, nullptr);
    return list;
  }
};

TEST_P(ViewImagesTest, AFreedViewIsNoLongerCalledBackByItsLists) {
  TImageList* images = NewList();
  TImageList* state = NewList();
  TControl* view = GetParam().make(form.get(), images, state);
  view->Free();
  images->Clear();  // would reach the freed view if it were still listening
  state->Clear();
  images->Free();
  state->Free();
}

TEST_P(ViewImagesTest, AFreedListIsForgotten) {
  TImageList* images = NewList();
  TImageList* state = NewList();
  TControl* view = GetParam().make(form.get(), images, images);
  images->Free();
  if (auto* list = dynamic_cast<TListView*>(view)) {
    EXPECT_EQ(list->SmallImages(), nullptr);
    EXPECT_EQ(list->StateImages(), nullptr);
    list->SetStateImages(state);
    EXPECT_EQ(list->StateImages(), state);
  } else {
    auto* tree = dynamic_cast<TTreeView*>(view);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Images(), nullptr);
    EXPECT_EQ(tree->StateImages(), nullptr);
  }
  view->Free();
  state->Clear();
}

INSTANTIATE_TEST_SUITE_P(BothViews, ViewImagesTest, testing::ValuesIn(kViews),
                         [](const testing::TestParamInfo<ViewCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
