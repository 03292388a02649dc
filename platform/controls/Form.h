#pragma once
// TForm: a top-level window. Its design is a form file (embedded as a Qt
// resource) read by the form reader when the form is made; the class names
// its fields and handlers once, in its binding (platform/classes/FormBinding.h):
//
//   TForm1::TForm1(TComponent* owner) : TForm(owner) {
//     ReadForm(this, QStringLiteral(":/forms/main.form"));   // then OnCreate
//   }
//   TFormBinding TForm1::Binding() {
//     return {Field("Button1", &TForm1::Button1),
//             Handler("Button1Click", &TForm1::Button1Click)};
//   }
//
// A form without handlers of its own can be made as TForm(owner, path).
// Left/Top/Width/Height are those of the outer frame on the screen;
// ClientWidth/ClientHeight those of the inside.

#include "platform/classes/FormReader.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/Exceptions.h"

#include <QString>

#include <cstdint>
#include <memory>

class QEventLoop;
class QObject;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TMainMenu;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  // Reads the form file at path (a plain TForm's properties) and runs OnCreate.
  TForm(TComponent* owner, const QString& path);
  ~TForm() override;

  // Runs OnDestroy while the form and its components are whole, then frees.
  // (A form freed through TComponent::Free or by its owner's destruction
  // skips OnDestroy: by then its components are gone. The application
  // object, Release and caFree free forms through this Free.)
  void Free();
  // Frees the form once the current message is done.
  void Release();

  // The form file a form class reads by default.
  virtual QString FormResourceName() const { return {}; }

  TCanvas* Canvas() { return ControlCanvas(); }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  // The outer bounds of the normal state: the current ones while the form
  // is normal, else those it had before, and goes back to after, being
  // maximised or minimised.
  TRect NormalBounds() const;
  // Minimised, and maximised again when restored.
  bool RestoresMaximized() const;
  // Shows (or keeps) the form minimised so that restoring maximises it.
  void MinimizeFromMaximized();
  // Minimises the showing window; one that the window manager has not
  // shown yet is minimised as soon as it shows.
  void MinimizeWindow();
  // The window manager is told that the size is fixed (no sizing border, no
  // Size or Maximize in the window menu), whatever BorderStyle allows.
  bool SizeFixed() const { return sizeFixed_; }
  void SetSizeFixed(bool v);
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* v);
  // The main menu shown as the window's menu bar (a component of the form).
  TMainMenu* Menu() const;
  void SetMenu(TMainMenu* menu);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  bool Active() const { return active_; }
  // The directory handle of the window (0 while none is published).
  HWND WindowHandle() const;
  std::uint32_t WindowId() const { return windowId_; }

  void Show();
  void Hide() { SetVisible(false); }
  void Close();
  bool CloseQuery();
  // Shows the form modally and returns its ModalResult; the application's
  // ModalDriver (if any) is called once the loop starts.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v);
  bool Modal() const { return modalLoop_ != nullptr; }

  // The client area excludes the menu bar at the top of the window.
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  TPoint ClientOffset() const override { return {0, menuBarHeight_}; }
  // While a form file is read, the value is applied again once the menu is
  // attached, so it is the height below the menu bar.
  void SetClientHeight(int v) override;
  // Set by the attached main menu when its bar appears, goes or changes
  // height: the window keeps its outer size and the controls move below.
  void SetMenuBarHeight(int v);
  int MenuBarHeight() const { return menuBarHeight_; }
  bool Showing() const override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  static void DeclareProperties(TClassBuilder<TForm, TWinControl>& b);

 protected:
  // Reads the form file (default FormResourceName()) into self, whose class
  // gets its property table first, through T::Binding() when T has one,
  // then runs OnCreate.
  template <class T>
  void ReadForm(T* self, QString path = {}) {
    MetaClassOf<T>();
    TFormBinding binding;
    ReadFormFile(path.isEmpty() ? FormResourceName() : path, BindingOf<T>(binding));
  }
  void ReadFormFile(const QString& path, const TFormBinding* binding = nullptr);
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void DoDestroy();
  virtual void Activate();
  virtual void Deactivate();
  void Paint() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  Qt::WindowFlags TopLevelFlags() const override;
  bool KeyPreviewActive() const override { return keyPreview_; }
  void CreateWnd() override;
  void UpdateWidgetGeometry() override;
  void UpdateWidgetVisibility() override;
  void WidgetGeometryChanged() override;

 private:
  void ApplyPosition();
  void ApplyFlags();
  void NoteNormalBounds();
  void StateChanged(TWindowState from, const QRect& frame);
  void Publish();
  void CloseModal();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  TWinControl* activeControl_ = nullptr;
  bool keyPreview_ = false;
  bool active_ = false;
  bool positioned_ = false;
  bool destroyDone_ = false;
  bool applyingGeometry_ = false;
  bool sizeFixed_ = false;
  bool minimizeFromMaximized_ = false;
  // The last two bounds the form had while normal (see StateChanged).
  bool normalKnown_ = false;
  TRect normalBounds_;
  TRect previousNormal_;
  int frameWidth_ = 0;   // outer minus inner size, known once the window shows
  int frameHeight_ = 0;
  int menuBarHeight_ = 0;
  int loadedClientHeight_ = -1;  // ClientHeight read from the form file
  std::uint32_t windowId_ = 0;
  TModalResult modalResult_ = mrNone;
  QEventLoop* modalLoop_ = nullptr;
  std::unique_ptr<QObject> exposeWatcher_;  // see MinimizeWindow
};

// The component of that name owned by owner, as T; EComponentError when
// there is none of that class.
template <class T>
T* FindComponentAs(TComponent* owner, const QString& name) {
  auto* c = dynamic_cast<T*>(owner->FindComponent(name));
  if (c == nullptr) throw EComponentError(QStringLiteral("Component %s not found"), {name});
  return c;
}

// Registers the classes of this library that form files may name.
void RegisterControlClasses();
// TForm and TTimer only.
void RegisterFormClasses();
