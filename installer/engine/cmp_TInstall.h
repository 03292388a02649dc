#pragma once
// TCustomInstall / TInstall: the top of the install object model, the one
// install component of a setup script (reachable through CurrentInstall()).
//
// This unit holds what the object model needs of it: its Information, its
// install type, the command-line switches with their values (the source
// folder and the self-extractor's "-e" value among them), the reboot flag and
// the "Unfinished" list of the install record. The install run builds on it.

#include "installer/engine/cmp_TInstallContainer.h"
#include "platform/classes/Persistent.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class TStrings;

enum TDistributeType { dtTraditional, dtWeb, dtTraditionalNet };
extern const TEnumInfo kDistributeTypeIdents;

// Command-line switches, by bit.
enum TInstallSwitch {
  swBuild = 0,          // -b
  swFloppies = 1,       // -f
  swDebug = 2,          // -d
  swSelfExtractor = 3,  // -e<path of the self-extracting program>
  swAfterReboot = 4,    // -r
  swSourceDir = 5,      // -s<directory>
  swCleanUp = 6         // -c
};
using TInstallSwitches = TSet<TInstallSwitch>;

// Kinds of the "Unfinished" list.
inline constexpr int ukInstallObject = 0;  // an install object's Name
inline constexpr int ukDeleteFile = 1;     // a file to delete after the restart

inline constexpr char kUninstallKeyBase[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class TInstallInformation : public TPersistent {
 public:
  QString CompanyName() const { return companyName_; }
  void SetCompanyName(const QString& v) { companyName_ = v; }
  QString ProductName() const { return productName_; }
  void SetProductName(const QString& v) { productName_ = v; }
  QString Version() const { return version_; }
  void SetVersion(const QString& v) { version_ = v; }

  void Assign(TPersistent* source) override;
  static void DeclareProperties(TClassBuilder<TInstallInformation, TPersistent>& b);

 private:
  QString companyName_ = QStringLiteral("Default Company Name");
  QString productName_ = QStringLiteral("Default Product Name");
  QString version_ = QStringLiteral("1.0");
};

// The top install container. Its base is the file container once that
// class exists; until then it stands as an install object of rank 1000.
class TCustomInstall : public TInstallObject {
 public:
  // Raises IEInstall for a second instance and for an owner that is
  // neither a form nor a data module.
  explicit TCustomInstall(TComponent* owner);
  ~TCustomInstall() override;

  TInstallInformation* Information() const { return information_.get(); }
  void SetInformation(TInstallInformation* value);
  TDistributeType DistributeType() const { return distributeType_; }
  // Only while loading (IEInstall "DistributeType can only be set at design-time").
  virtual void SetDistributeType(TDistributeType value);
  bool AllowChangeDir() const { return allowChangeDir_; }
  void SetAllowChangeDir(bool v) { allowChangeDir_ = v; }
  bool RunAutomatic() const { return runAutomatic_; }
  void SetRunAutomatic(bool v) { runAutomatic_ = v; }
  bool UseLoadingProgram() const { return useLoadingProgram_; }
  void SetUseLoadingProgram(bool v) { useLoadingProgram_ = v; }
  QString GroupName() const { return groupName_; }
  void SetGroupName(const QString& v) { groupName_ = v; }

  // Command line.
  virtual void ParseCommandLine();
  TInstallSwitches Switches() const { return switches_; }
  bool HasSwitch(TInstallSwitch s) const { return switches_.Contains(s); }
  // The text after the switch letter; empty when the switch is not set.
  QString SwitchValue(TInstallSwitch s) const;
  // The -s value when given, else the program's own folder.
  QString SourceDir() const { return sourceDir_; }

  // The "Unfinished" list of the current install record (IEInstall
  // "The TInstall could not either write or read unfinished business from
  // the registry" without a record key).
  virtual void ClearUnfinished();
  virtual void AddUnfinished(const QString& name, int kind);
  // Lines "name;kind" in the registry's order.
  virtual void ReadUnfinished(TStrings& list);
  int UnfinishedCount() const { return unfinishedCount_; }

  int GetRegisteredType() const override { return rtFileContainer; }
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TCustomInstall, TInstallObject>& b);

 protected:
  void SetUnfinishedCount(int value) { unfinishedCount_ = value; }

 private:
  QString UnfinishedKey() const;

  std::unique_ptr<TInstallInformation> information_;
  TDistributeType distributeType_ = dtTraditional;
  bool allowChangeDir_ = true;
  bool runAutomatic_ = true;
  bool useLoadingProgram_ = true;
  QString groupName_ = QStringLiteral("Main");
  TInstallSwitches switches_;
  std::array<QString, 7> switchValues_;
  QString sourceDir_;
  int unfinishedCount_ = 0;
};

// The published form, as a setup script names it.
class TInstall : public TCustomInstall {
 public:
  using TCustomInstall::TCustomInstall;
};

// The one install component; nullptr when there is none.
TCustomInstall* CurrentInstall();

// The reboot flag: set when a file in use must be replaced at the restart.
bool RebootNeeded();
void SetRebootNeeded(bool value);

// The command line the install component parses (the program's arguments
// without the program); tests set their own, reset with the process state.
QStringList InstallCommandLine();
void SetInstallCommandLine(const QStringList& parameters);
