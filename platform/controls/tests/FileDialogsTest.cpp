// File dialogs answered through the modal driver: filters, default
// extension, the checks of Options and the current directory.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/ColorDialog.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/FolderDialog.h"
#include "platform/controls/FontDialog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QHeaderView>

#include <algorithm>
#include <vector>

namespace {

class FileDialogsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    savedCwd = QDir::currentPath();
  }
  void TearDown() override {
    QDir::setCurrent(savedCwd);
    ControlsTest::TearDown();
  }

  QString Touch(const QString& name) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    return path;
  }

  // Answers file dialogs with fileAnswer (rejecting when it is empty or a
  // check keeps the dialog open) and boxes with boxAnswer.
  void Answer(QStringList fileAnswer, TModalResult boxAnswer = mrYes) {
    app->ModalDriver = [this, fileAnswer, boxAnswer](TObject* modal) {
      if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
        boxes.append({box->Caption(), box->Text(), box->Icon()});
        box->ClickButton(boxAnswer);
        return;
      }
      auto* d = dynamic_cast<TOpenDialog*>(modal);
      ASSERT_NE(d, nullptr);
      QFileDialog* qt = d->FileDialog();
      ASSERT_NE(qt, nullptr);
      shownTitle = qt->windowTitle();
      shownFilter = qt->selectedNameFilter();
      shownFolder = qt->directory().absolutePath();
      shownMode = qt->fileMode();
      if (onShow) onShow(qt);
      if (fileAnswer.isEmpty() || !d->AcceptFiles(fileAnswer)) qt->reject();
    };
  }

  QTemporaryDir dir;
  QString savedCwd;
  QString shownTitle;
  QString shownFilter;
  QString shownFolder;
  QFileDialog::FileMode shownMode = QFileDialog::AnyFile;
  std::function<void(QFileDialog*)> onShow;
};

TEST(QtNameFilters, PairsTextsWithMasks) {
  EXPECT_EQ(QtNameFilters("Sanalistat (*.lst)|*.lst|Kaikki|*.*"),
            (QStringList{"Sanalistat (*.lst)", "Kaikki (*.*)"}));
  EXPECT_EQ(QtNameFilters("Kaikki (*.bmp;*.ico)|*.bmp;*.ico"),
            QStringList{"Kaikki (*.bmp *.ico)"});
  EXPECT_EQ(QtNameFilters("Kuvat|*.bmp;*.ico"), QStringList{"Kuvat (*.bmp *.ico)"});
  EXPECT_TRUE(QtNameFilters("").isEmpty());
  EXPECT_TRUE(QtNameFilters("Pariton").isEmpty());
}

TEST_F(FileDialogsTest, SaveAppliesFilterIndexAndDefaultExt) {
  auto* save = new TSaveDialog(app.get());
  save->SetFilter("Ristikot (*.vrb)|*.vrb|Kaikki tiedostot|*.*");
  save->SetFilterIndex(2);
  save->SetDefaultExt("vrb");
  save->SetInitialDir(dir.path());
  Answer({"ristikko"});
  onShow = [](QFileDialog* qt) { qt->selectNameFilter("Ristikot (*.vrb)"); };
  ASSERT_TRUE(save->Execute());
  EXPECT_EQ(shownFilter.toStdString(), "Kaikki tiedostot (*.*)");  // FilterIndex 2 was selected
  EXPECT_EQ(shownTitle, "Save As");
  EXPECT_EQ(shownFolder, QDir(dir.path()).absolutePath());
  EXPECT_EQ(save->FileName(), dir.filePath("ristikko.vrb"));
  EXPECT_EQ(save->FilterIndex(), 1);  // the filter chosen at the end
  ASSERT_EQ(save->Files()->Count(), 1);
  EXPECT_EQ(save->Files()->Strings(0), save->FileName());
  EXPECT_FALSE(save->Options().Contains(ofExtensionDifferent));
}

TEST_F(FileDialogsTest, AnotherExtensionIsKeptAndReported) {
  auto* save = new TSaveDialog(app.get());
  save->SetDefaultExt(".vrb");
  save->SetInitialDir(dir.path());
  save->SetTitle("Tallenna ristikko");
  Answer({"ristikko.txt"});
  ASSERT_TRUE(save->Execute());
  EXPECT_EQ(shownTitle, "Tallenna ristikko");
  EXPECT_EQ(save->FileName(), dir.filePath("ristikko.txt"));
  EXPECT_TRUE(save->Options().Contains(ofExtensionDifferent));
}

TEST_F(FileDialogsTest, OverwritePromptAnsweredNoKeepsExecuteFalse) {
  const QString existing = Touch("vanha.vrb");
  auto* save = new TSaveDialog(app.get());
  save->SetOptions({ofOverwritePrompt});
  save->SetInitialDir(dir.path());
  save->SetFileName("alku.vrb");
  Answer({"vanha.vrb"}, mrNo);
  EXPECT_FALSE(save->Execute());
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].text.contains("vanha.vrb"));
  EXPECT_EQ(save->FileName(), "alku.vrb");

  boxes.clear();
  Answer({"vanha.vrb"}, mrYes);
  EXPECT_TRUE(save->Execute());
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(save->FileName(), existing);
}

TEST_F(FileDialogsTest, NoPromptWithoutTheOptionOrForANewFile) {
  Touch("vanha.vrb");
  auto* save = new TSaveDialog(app.get());
  save->SetInitialDir(dir.path());
  Answer({"vanha.vrb"}, mrNo);
  EXPECT_TRUE(save->Execute());
  save->SetOptions({ofOverwritePrompt});
  Answer({"uusi.vrb"}, mrNo);
  EXPECT_TRUE(save->Execute());
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(FileDialogsTest, FileMustExistRefusesAMissingFile) {
  auto* open = new TOpenDialog(app.get());
  open->SetOptions({ofFileMustExist});
  open->SetInitialDir(dir.path());
  Answer({"puuttuu.lst"}, mrOk);
  EXPECT_FALSE(open->Execute());
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(shownTitle, "Open");

  const QString present = Touch("on.lst");
  Answer({"on.lst"}, mrOk);
  EXPECT_TRUE(open->Execute());
  EXPECT_EQ(open->FileName(), present);
  EXPECT_EQ(boxes.size(), 1);
}

TEST_F(FileDialogsTest, PathMustExistRefusesAMissingFolder) {
  auto* save = new TSaveDialog(app.get());
  save->SetOptions({ofPathMustExist});
  save->SetInitialDir(dir.path());
  Answer({dir.filePath("ei/ole.vrb")}, mrOk);
  EXPECT_FALSE(save->Execute());
  EXPECT_EQ(boxes.size(), 1);
}

TEST_F(FileDialogsTest, MultiSelectReturnsEveryFile) {
  const QString a = Touch("a.lst");
  const QString b = Touch("b.lst");
  auto* open = new TOpenDialog(app.get());
  open->SetOptions({ofAllowMultiSelect});
  open->SetInitialDir(dir.path());
  Answer({"a.lst", "b.lst"});
  ASSERT_TRUE(open->Execute());
  EXPECT_EQ(shownMode, QFileDialog::ExistingFiles);
  ASSERT_EQ(open->Files()->Count(), 2);
  EXPECT_EQ(open->Files()->Strings(0), a);
  EXPECT_EQ(open->Files()->Strings(1), b);
  EXPECT_EQ(open->FileName(), a);
}

TEST_F(FileDialogsTest, CancelChangesNothing) {
  auto* open = new TOpenDialog(app.get());
  open->SetFileName("entinen.lst");
  open->SetFilterIndex(1);
  Answer({});
  EXPECT_FALSE(open->Execute());
  EXPECT_EQ(open->FileName(), "entinen.lst");
  EXPECT_EQ(open->Files()->Count(), 0);
  EXPECT_EQ(open->FileDialog(), nullptr);
}

TEST_F(FileDialogsTest, CurrentDirectoryFollowsTheChoiceUnlessNoChangeDir) {
  QDir(dir.path()).mkdir("alikansio");
  const QString sub = QDir(dir.filePath("alikansio")).absolutePath();
  auto* open = new TOpenDialog(app.get());
  open->SetInitialDir(sub);
  open->SetOptions({ofNoChangeDir});
  Answer({"x.lst"});
  ASSERT_TRUE(open->Execute());
  EXPECT_EQ(QDir::currentPath(), savedCwd);

  open->SetOptions({});
  ASSERT_TRUE(open->Execute());
  EXPECT_EQ(QDir::currentPath(), sub);
}

TEST_F(FileDialogsTest, AcceptingAFolderOpensIt) {
  QDir(dir.path()).mkdir("kansio");
  const QString inside = Touch("kansio/sisalla.lst");
  auto* open = new TOpenDialog(app.get());
  open->SetInitialDir(dir.path());
  bool stayedOpen = false;
  QString folderAfter;
  app->ModalDriver = [&](TObject*) {
    stayedOpen = !open->AcceptFiles({"kansio"});
    folderAfter = open->FileDialog()->directory().absolutePath();
    open->AcceptFiles({"sisalla.lst"});
  };
  ASSERT_TRUE(open->Execute());
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(folderAfter, QDir(dir.filePath("kansio")).absolutePath());
  EXPECT_EQ(open->FileName(), inside);
}

// A whole path typed into the field while the field lacks the focus (the
// completion list takes it as it closes under a quick typist) leaves the
// folder typed on the way selected in Qt's views: every dialog for one
// name gives the name typed.
TEST_F(FileDialogsTest, AFolderTypedOnTheWayToANameIsNotChosen) {
  QDir(dir.path()).mkpath(QStringLiteral("kansio/sisempi"));
  const QString folder = QDir(dir.filePath(QStringLiteral("kansio"))).absolutePath();
  const QString picture = Touch(QStringLiteral("kansio/kuva.bmp"));
  // Types folder, then name, into the field of the dialog that shows;
  // false unless the views then still hold the folder's row.
  auto typeOnTheWay = [&](QFileDialog* qt, const QString& name) {
    auto* field = qt->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* view = qt->findChild<QListView*>(QStringLiteral("listView"));
    if (field == nullptr || view == nullptr) return false;
    for (const QString& text : {folder, folder + u'/', name}) {
      field->clearFocus();
      field->setText(text);
    }
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    const bool folderRow = std::any_of(rows.cbegin(), rows.cend(), [&](const QModelIndex& row) {
      return row.data(QFileSystemModel::FilePathRole).toString() == folder;
    });
    static_cast<QDialog*>(qt)->accept();  // Return in the field
    if (qt->isVisible()) qt->reject();
    return folderRow;
  };
  struct Case {
    TOpenDialog* dialog;
    QString typed;
    QString chosen;
  };
  const QString newPuzzle = folder + QStringLiteral("/uusi.vrb");
  for (const Case& c : {Case{new TOpenPictureDialog(app.get()), picture, picture},
                        Case{new TSaveDialog(app.get()), newPuzzle, newPuzzle}}) {
    c.dialog->SetInitialDir(dir.path());
    bool folderRow = false;
    app->ModalDriver = [&](TObject*) { folderRow = typeOnTheWay(c.dialog->FileDialog(), c.typed); };
    EXPECT_TRUE(c.dialog->Execute()) << c.dialog->ClassName().toStdString();
    EXPECT_TRUE(folderRow) << c.dialog->ClassName().toStdString();
    EXPECT_EQ(c.dialog->FileName().toStdString(), c.chosen.toStdString())
        << c.dialog->ClassName().toStdString();
  }
  auto* folders = new TFolderDialog(app.get());
  folders->SetDirectory(dir.path());
  const QString inner = folder + QStringLiteral("/sisempi");
  bool folderRow = false;
  app->ModalDriver = [&](TObject*) { folderRow = typeOnTheWay(folders->FileDialog(), inner); };
  EXPECT_TRUE(folders->Execute());
  EXPECT_TRUE(folderRow);
  EXPECT_EQ(folders->Folder().toStdString(), inner.toStdString());
}

TEST_F(FileDialogsTest, FileNameChoosesTheStartFolderWithoutInitialDir) {
  auto* open = new TOpenDialog(app.get());
  open->SetFileName(dir.filePath("ristikko.vrb"));
  Answer({});
  open->Execute();
  EXPECT_EQ(shownFolder, QDir(dir.path()).absolutePath());
}

// A person reads the file names: in every file dialog the name column is
// as wide as the longest name and starts in view.
TEST_F(FileDialogsTest, EveryFileDialogShowsWholeFileNames) {
  const QString name = QStringLiteral("Dalmatialaiset ja muut koirat.bmp");
  Touch(name);
  std::vector<TOpenDialog*> kinds{new TOpenDialog(app.get()), new TSaveDialog(app.get()),
                                  new TOpenPictureDialog(app.get())};
  for (TOpenDialog* d : kinds) {
    d->SetInitialDir(dir.path());
    int width = -1;
    int needed = 0;
    int start = -1;
    onShow = [&](QFileDialog* qt) {
      auto* tree = qt->findChild<QTreeView*>(QStringLiteral("treeView"));
      ASSERT_NE(tree, nullptr);
      ASSERT_TRUE(tree->isVisible());
      // The folder is read in the background.
      QDeadlineTimer deadline(10000);
      while (tree->model()->rowCount(tree->rootIndex()) == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
      width = tree->header()->sectionSize(0);
      start = tree->header()->sectionViewportPosition(0);
      needed = tree->fontMetrics().horizontalAdvance(name);
    };
    Answer({});
    EXPECT_FALSE(d->Execute());
    EXPECT_GE(width, needed) << d->ClassName().toStdString();
    EXPECT_EQ(start, 0) << d->ClassName().toStdString();
  }
}

TEST_F(FileDialogsTest, PictureDialogFiltersPicturesAndPreviews) {
  QImage image(20, 10, QImage::Format_RGB32);
  image.fill(Qt::red);
  const QString bmp = dir.filePath("kuva.bmp");
  ASSERT_TRUE(image.save(bmp));
  auto* dialog = new TOpenPictureDialog(app.get());
  dialog->SetInitialDir(dir.path());
  EXPECT_EQ(QtNameFilters(dialog->Filter()).size(), 3);
  bool previewed = false;
  onShow = [&](QFileDialog*) {
    ASSERT_NE(dialog->Preview(), nullptr);
    dialog->ShowPreview(bmp);
    const QPixmap shown = dialog->Preview()->pixmap();
    previewed = shown.size() == QSize(20, 10);
    dialog->ShowPreview(dir.filePath("ei.bmp"));
    EXPECT_TRUE(dialog->Preview()->pixmap().isNull());
  };
  Answer({"kuva.bmp"});
  ASSERT_TRUE(dialog->Execute());
  EXPECT_TRUE(previewed);
  EXPECT_EQ(dialog->FileName(), bmp);
  EXPECT_EQ(shownFilter.toStdString(), "All (*.bmp *.ico)");
  EXPECT_EQ(dialog->Preview(), nullptr);
}

TEST_F(FileDialogsTest, DialogsReadFromAFormFile) {
  RegisterDialogClasses();
  const QString path = dir.filePath("dialogs.form");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"(object DialogForm: TForm
  object SaveDialog1: TSaveDialog
    DefaultExt = 'vrb'
    Filter = 'Ristikot|*.vrb'
    FilterIndex = 1
    Options = [ofOverwritePrompt, ofHideReadOnly, ofPathMustExist]
    Title = 'Tallenna'
  end
  object OpenPictureDialog1: TOpenPictureDialog
    InitialDir = '/tmp'
  end
  object FontDialog1: TFontDialog
    Font.Height = -16
    Font.Name = 'Arial'
    MinFontSize = 8
    MaxFontSize = 20
    Options = [fdEffects, fdLimitSize]
  end
  object ColorDialog1: TColorDialog
    Color = clRed
    CustomColors = (
      'ColorA=00FF00')
  end
end
)");
  file.close();
  auto* form = new TForm(app.get(), path);
  auto* save = FindComponentAs<TSaveDialog>(form, "SaveDialog1");
  EXPECT_EQ(save->DefaultExt(), "vrb");
  EXPECT_EQ(save->Title(), "Tallenna");
  EXPECT_EQ(save->Options(), (TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofPathMustExist}));
  EXPECT_EQ(FindComponentAs<TOpenPictureDialog>(form, "OpenPictureDialog1")->InitialDir(), "/tmp");
  auto* font = FindComponentAs<TFontDialog>(form, "FontDialog1");
  EXPECT_EQ(font->Font()->Height(), -16);
  EXPECT_EQ(font->MaxFontSize(), 20);
  EXPECT_EQ(font->Options(), (TFontDialogOptions{fdEffects, fdLimitSize}));
  auto* color = FindComponentAs<TColorDialog>(form, "ColorDialog1");
  EXPECT_EQ(color->Color(), clRed);
  EXPECT_EQ(color->CustomColors()->Values("ColorA"), "00FF00");
}

}  // namespace
