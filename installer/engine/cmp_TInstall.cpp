#include "installer/engine/cmp_TInstall.h"

#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

constexpr char kTextTwoInstalls[] =
    "The TInstall component does not currently support the use of 2 TInstall components in the "
    "same project";
constexpr char kTextBadOwner[] =
    "The Owner of the TInstall component must either be a class of type TCustomForm (Tessera 3) "
    "or TForm (Tessera 2.0,K++Builder 1.0)";
constexpr char kTextDistributeType[] = "DistributeType can only be set at design-time";
constexpr char kTextInvalidParameter[] =
    "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f "
    "(Transfer to floppies), -e (Called by self-extractor), -r (After reboot)";
constexpr char kTextNoBuildDir[] =
    "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "
    "\"-sC:\\My Build\"";
constexpr char kTextNoUnfinished[] =
    "The TInstall could not either write or read unfinished business from the registry";
constexpr char kSwitchLetters[] = "bfdersc";

// The install component's process-wide state: the one instance (owned by its
// form), the reboot flag and the command line tests give.
struct TInstallGlobals {
  TCustomInstall* install = nullptr;
  bool rebootNeeded = false;
  bool commandLineSet = false;
  QStringList commandLine;
};

TInstallGlobals& Globals() {
  return ProcessObject<TInstallGlobals>();
}

}  // namespace

const TEnumInfo kDistributeTypeIdents{"dtTraditional", "dtWeb", "dtTraditionalNet"};

// ---------------------------------------------------------------------------

void TInstallInformation::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TInstallInformation*>(source)) {
    companyName_ = other->companyName_;
    productName_ = other->productName_;
    version_ = other->version_;
    return;
  }
  TPersistent::Assign(source);
}

void TInstallInformation::DeclareProperties(TClassBuilder<TInstallInformation, TPersistent>& b) {
  b.Property("CompanyName", &TInstallInformation::CompanyName, &TInstallInformation::SetCompanyName)
      .Default(QStringLiteral("Default Company Name"));
  b.Property("ProductName", &TInstallInformation::ProductName, &TInstallInformation::SetProductName)
      .Default(QStringLiteral("Default Product Name"));
  b.Property("Version", &TInstallInformation::Version, &TInstallInformation::SetVersion)
      .Default(QStringLiteral("1.0"));
}

// ---------------------------------------------------------------------------

TCustomInstall::TCustomInstall(TComponent* owner) : TInstallObject(owner) {
  if (Globals().install != nullptr) throw IEInstall(QString::fromLatin1(kTextTwoInstalls));
  if (!IsFormOrDataModule(owner)) throw IEInstall(QString::fromLatin1(kTextBadOwner));
  information_ = std::make_unique<TInstallInformation>();
  SetProcessable(true);
  SetDestDir(QStringLiteral("/MyApplication"));
  if (TStandardPathSpecList* list = FindStandardPathSpecList())
    StoreDestDirType(list->FindFirst<TpsProgramFiles>());
  Globals().install = this;
}

TCustomInstall::~TCustomInstall() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  if (globals != nullptr && globals->install == this) globals->install = nullptr;
}

void TCustomInstall::SetInformation(TInstallInformation* value) {
  information_->Assign(value);
}

void TCustomInstall::SetDistributeType(TDistributeType value) {
  if (!IsLoading()) throw IEInstall(QString::fromLatin1(kTextDistributeType));
  distributeType_ = value;
}

QString TCustomInstall::SwitchValue(TInstallSwitch s) const {
  return switches_.Contains(s) ? switchValues_[static_cast<std::size_t>(s)] : QString();
}

void TCustomInstall::ParseCommandLine() {
  switches_ = TInstallSwitches();
  for (QString& v : switchValues_) v.clear();
  for (const QString& parameter : InstallCommandLine()) {
    const int letter = parameter.size() >= 2 && parameter[0] == QLatin1Char('-')
                           ? static_cast<int>(QByteArray(kSwitchLetters).indexOf(
                                 parameter[1].toLower().toLatin1()))
                           : -1;
    if (letter < 0 || parameter[1].unicode() > 127)
      throw IException(QString::fromLatin1(kTextInvalidParameter), {parameter});
    const auto s = static_cast<TInstallSwitch>(letter);
    switches_.Include(s);
    switchValues_[static_cast<std::size_t>(letter)] = parameter.mid(2);
  }
}

void TCustomInstall::Loaded() {
  TInstallObject::Loaded();
  // Read before its specifiers were, the component keeps its default base
  // now that they exist (unless the script chose one).
  if (!DestDirTypeAssigned() && DestDirType() == nullptr)
    StoreDestDirType(StandardPathSpecList().FindFirst<TpsProgramFiles>());
  ParseCommandLine();
  if (HasSwitch(swDebug) && Trim(SwitchValue(swSourceDir)).isEmpty())
    throw IEInstall(QString::fromLatin1(kTextNoBuildDir));
  if (HasSwitch(swSourceDir)) {
    sourceDir_ = SwitchValue(swSourceDir);
  } else {
    sourceDir_ = RemoveBackslash(QCoreApplication::applicationDirPath());
  }
  // The install type: itAlways first, then the first the script offers.
  SetInstallType(itAlways);
  for (TInstallType t : {itDefault, itCompact, itFull, itCustom}) {
    if (InstallTypes().Contains(t)) {
      SetInstallType(t);
      break;
    }
  }
}

QString TCustomInstall::UnfinishedKey() const {
  const QString record = InstallUnitState().installRecordKey;
  if (record.isEmpty()) throw IEInstall(QString::fromLatin1(kTextNoUnfinished));
  return AddKeyBackslash(record) + QStringLiteral("Unfinished");
}

void TCustomInstall::ClearUnfinished() {
  DeleteRegKeyTree(hkLocalMachine, UnfinishedKey());
}

void TCustomInstall::AddUnfinished(const QString& name, int kind) {
  const QString key = UnfinishedKey();
  ++unfinishedCount_;
  WriteRegString(hkLocalMachine, key, name, QString::number(kind));
}

void TCustomInstall::ReadUnfinished(TStrings& list) {
  list.Clear();
  const QString key = UnfinishedKey();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(key)) return;
  TStringList names;
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i)
    list.Add(names[i] + QLatin1Char(';') + registry.ReadString(names[i]));
}

void TCustomInstall::DeclareProperties(TClassBuilder<TCustomInstall, TInstallObject>& b) {
  b.Property("AllowChangeDir", &TCustomInstall::AllowChangeDir, &TCustomInstall::SetAllowChangeDir)
      .Default(true);
  b.Property("DestDir", &TCustomInstall::DestDir, &TCustomInstall::SetDestDir)
      .Default(QStringLiteral("/MyApplication"));
  b.Property("DistributeType", &TCustomInstall::DistributeType, &TCustomInstall::SetDistributeType,
             kDistributeTypeIdents)
      .Default(dtTraditional);
  b.Property("GroupName", &TCustomInstall::GroupName, &TCustomInstall::SetGroupName)
      .Default(QStringLiteral("Main"));
  b.Object("Information", &TCustomInstall::Information);
  b.Property("RunAutomatic", &TCustomInstall::RunAutomatic, &TCustomInstall::SetRunAutomatic)
      .Default(true);
  b.Property("UseLoadingProgram", &TCustomInstall::UseLoadingProgram,
             &TCustomInstall::SetUseLoadingProgram)
      .Default(true);
}

// ---------------------------------------------------------------------------

TCustomInstall* CurrentInstall() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  return globals != nullptr ? globals->install : nullptr;
}

bool RebootNeeded() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  return globals != nullptr && globals->rebootNeeded;
}

void SetRebootNeeded(bool value) {
  Globals().rebootNeeded = value;
}

QStringList InstallCommandLine() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  if (globals != nullptr && globals->commandLineSet) return globals->commandLine;
  return QCoreApplication::arguments().mid(1);
}

void SetInstallCommandLine(const QStringList& parameters) {
  Globals().commandLine = parameters;
  Globals().commandLineSet = true;
}
