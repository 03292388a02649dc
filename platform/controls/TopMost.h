#pragma once
// While a modal window is up (a modal form, a message box, a common
// dialog), the forms that stay on top are let down to the normal layer so
// that they cannot cover it; they go back on top when it closes. Every
// modal loop holds one scope for its whole run; nested loops nest scopes.

#include <QList>
#include <QPointer>

#include <memory>

class QWidget;
class TControl;

class TModalTopMostScope {
 public:
  // modal: the modal window itself, which keeps its place.
  explicit TModalTopMostScope(const QWidget* modal);
  ~TModalTopMostScope();
  TModalTopMostScope(const TModalTopMostScope&) = delete;
  TModalTopMostScope& operator=(const TModalTopMostScope&) = delete;

 private:
  struct TLowered {
    std::weak_ptr<TControl*> form;
    QPointer<QWidget> widget;
  };
  QList<TLowered> lowered_;
};
