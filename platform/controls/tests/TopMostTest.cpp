// Forms that stay on top go down while a modal window is up, through every
// modal path, and back on top when it closes.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/ColorDialog.h"

#include <QDialog>
#include <QWindow>

#include <functional>
#include <utility>

namespace {

// Whether the form's widget and its native window both stay on top.
bool OnTop(const TForm* form) {
  const QWidget* w = form->Widget();
  const bool widget = w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  const bool native = w->windowHandle() != nullptr &&
                      w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
  EXPECT_EQ(widget, native) << "widget and native window disagree";
  return widget && native;
}

class TopMostTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    picture = new TForm(app.get());
    picture->SetFormStyle(fsStayOnTop);
    picture->Show();
    plain = new TForm(app.get());
    plain->Show();
    Pump();
  }

  // Runs one modal path; during answer the modal loop is up.
  void RunModal(const std::string& path, const std::function<void()>& during) {
    bool outer = true;
    app->ModalDriver = [&](TObject* modal) {
      if (std::exchange(outer, false)) during();
      if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
        box->ClickButton(box->Buttons().first().result);
      } else if (auto* dialog = dynamic_cast<TCommonDialog*>(modal)) {
        dialog->ActiveDialog()->reject();
      } else if (auto* form = dynamic_cast<TForm*>(modal)) {
        form->SetModalResult(mrOk);
      }
    };
    if (path == "form") {
      TForm modal(nullptr);
      modal.ShowModal();
    } else if (path == "message box") {
      MessageDlg(QStringLiteral("AIKA LOPPUI !"), mtInformation, {mbOK}, 0);
    } else {
      TColorDialog dialog(nullptr);
      dialog.Execute();
    }
  }

  TForm* picture = nullptr;
  TForm* plain = nullptr;
};

const std::string kPaths[] = {"form", "message box", "common dialog"};

TEST_F(TopMostTest, EveryModalPathLowersTheStayOnTopFormsAndRestoresThem) {
  for (const std::string& path : kPaths) {
    ASSERT_TRUE(OnTop(picture)) << path;
    bool pictureDuring = true;
    bool plainDuring = true;
    RunModal(path, [&] {
      pictureDuring = OnTop(picture);
      plainDuring = plain->Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    });
    EXPECT_FALSE(pictureDuring) << path;
    EXPECT_FALSE(plainDuring) << path;
    EXPECT_TRUE(OnTop(picture)) << path;
    EXPECT_TRUE(picture->Showing()) << path;
  }
}

TEST_F(TopMostTest, NestedModalsRestoreWhenTheOuterCloses) {
  bool betweenBoxes = true;
  RunModal("form", [&] {
    MessageDlg(QStringLiteral("Sisempi"), mtWarning, {mbOK}, 0);
    betweenBoxes = OnTop(picture);
  });
  EXPECT_FALSE(betweenBoxes);
  EXPECT_TRUE(OnTop(picture));
}

TEST_F(TopMostTest, AModalStayOnTopFormKeepsItsLayer) {
  bool during = false;
  app->ModalDriver = [&](TObject* modal) {
    auto* form = static_cast<TForm*>(modal);
    during = OnTop(form);
    form->SetModalResult(mrOk);
  };
  TForm modal(nullptr);
  modal.SetFormStyle(fsStayOnTop);
  modal.ShowModal();
  EXPECT_TRUE(during);
}

TEST_F(TopMostTest, AFormNoLongerOnTopOrFreedMeanwhileStaysDown) {
  auto* other = new TForm(app.get());
  other->SetFormStyle(fsStayOnTop);
  other->Show();
  Pump();
  RunModal("message box", [&] {
    picture->SetFormStyle(fsNormal);
    other->Free();
  });
  EXPECT_FALSE(picture->Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

}  // namespace
