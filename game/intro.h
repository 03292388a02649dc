#pragma once
// The splash window (TForm2): a picture shown during start-up. Its first
// activation pauses the start while messages are still processed.

#include "platform/controls/Form.h"

class TPanel;
class TTransImage;

// Processes pending messages until ms milliseconds of the tick count have
// passed (compared as signed 32-bit numbers, so a wrap of the counter does
// not stall it).
void WaitMs(int ms);

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);
  ~TForm2() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/intro.form"); }
  // The components and handlers intro.form names.
  static TFormBinding Binding();

  // How long the first activation pauses (2000 ms; tests set 0).
  int PauseMs() const { return pauseMs_; }
  void SetPauseMs(int ms) { pauseMs_ = ms; }
  // Pauses once: the first call waits PauseMs, later calls return at once.
  void Pause();
  bool Paused() const { return paused_; }

  void FormActivate(TObject* sender);

  TPanel* Panel1 = nullptr;
  TTransImage* Image1 = nullptr;

 private:
  int pauseMs_ = 2000;
  bool paused_ = false;
};

// The splash while it exists; nullptr otherwise.
extern TForm2* Form2;
