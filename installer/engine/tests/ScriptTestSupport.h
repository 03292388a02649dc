#pragma once
// An installation script read from form text into a data module, with the
// unit's lists started as at program start.

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace qxtest {

// The uninstall log key of the product "Trovaly" that the scripts install.
inline const QString kTrovalyLog =
    QString::fromLatin1(kUninstallKeyBase) + QStringLiteral("Trovaly");

class TScriptModule {
 public:
  // registerClasses makes the script's own classes known first.
  template <class Register>
  TScriptModule(const QByteArray& text, Register registerClasses) {
    RegisterInstallClasses();
    PathSpecifierList();
    registerClasses();
    RegisterClasses<TDataModule>();
    ReadRootComponent(root_.get(), text, QStringLiteral("Setup.form"));
  }

  TDataModule* Root() const { return root_.get(); }
  template <class T>
  T* Find(const char* name) const {
    return dynamic_cast<T*>(root_->FindComponent(QString::fromLatin1(name)));
  }

 private:
  std::unique_ptr<TDataModule> root_ = std::make_unique<TDataModule>(nullptr);
};

}  // namespace qxtest
