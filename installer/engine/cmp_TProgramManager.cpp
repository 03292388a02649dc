#include "installer/engine/cmp_TProgramManager.h"

#include "installer/engine/routines_Strings.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/DdeClientConv.h"

namespace {

QString Translated(const char* text) { return TranslateExceptionText(QString::fromLatin1(text)); }

// Formats a translated format; a translation whose directives do not fit
// falls back on the English format, so the error itself is never lost.
QString FormatTranslated(const QString& fmt, std::initializer_list<TVarRec> args) {
  const QString translated = TranslateExceptionText(fmt);
  try {
    return Format(translated, args);
  } catch (const EConvertError&) {
    return Format(fmt, args);
  }
}

// An item name is joined into a format, so its own '%' must stay literal.
QString FormatLiteral(const QString& text) {
  QString result = text;
  return result.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

QString Unquote(const QString& text) {
  QString result = text;
  if (result.startsWith(QLatin1Char('"'))) result.remove(0, 1);
  if (result.endsWith(QLatin1Char('"'))) result.chop(1);
  return result;
}


}  // namespace

EAIPMError::EAIPMError() : EAI(Translated(kTextPMError)) {}

EAIPMCannotOpen::EAIPMCannotOpen() : EAIPMError(Translated(kTextPMCannotOpen)) {}

EAIPMCannotOpenGroup::EAIPMCannotOpenGroup(const QString& group)
    : EAIPMError(Translated(kTextPMCannotOpenGroup) + group), Group(group) {}

EAIPMCannotCreateGroup::EAIPMCannotCreateGroup(const QString& group)
    : EAIPMError(Translated(kTextPMCannotCreateGroup) + group), Group(group) {}

EAIPMCannotAddItem::EAIPMCannotAddItem(const QString& group, const QString& itemName,
                                       const QString& command)
    : EAIPMError(FormatTranslated(QString::fromLatin1(kTextPMCannotAddItemHead) +
                                      FormatLiteral(itemName) +
                                      QString::fromLatin1(kTextPMCannotAddItemTail),
                                  {group, command})),
      Group(group),
      ItemName(itemName),
      Command(command) {}

EAIPMCannotReplaceItem::EAIPMCannotReplaceItem(const QString& group, const QString& itemName)
    : EAIPMError(FormatTranslated(QString::fromLatin1(kTextPMCannotReplaceItem),
                                  {itemName, group})),
      Group(group),
      ItemName(itemName) {}

TProgramManager::TProgramManager(TComponent* owner)
    : TComponent(owner), conversation_(std::make_unique<TDdeClientConv>()) {}

TProgramManager::~TProgramManager() {
  groupData_.Clear();
  if (connected_) conversation_->CloseLink();
}

void TProgramManager::Connect() {
  if (connected_) return;
  conversation_->SetConnectMode(ddeManual);
  const QString progman = QString::fromLatin1(kPMServiceName);
  conversation_->SetLink(progman, progman);
  connected_ = conversation_->OpenLink();
  if (!connected_) throw EAIPMCannotOpen();
}

bool TProgramManager::Execute(const QString& command) {
  if (command.toUtf8().size() > kPMCommandMax) return false;
  return conversation_->ExecuteMacro(command, false);
}

void TProgramManager::GetGroups(TStrings* list) {
  Connect();
  list->SetText(conversation_->RequestData(QString::fromLatin1(kPMGroupsItem)));
}

void TProgramManager::SelectGroup(const QString& groupName) {
  const QString name = groupName;  // may be groupName_ itself, cleared below
  Connect();
  groupName_.clear();
  groupData_.Clear();
  const QString reply = conversation_->RequestData(name);
  if (reply.isEmpty()) return;
  groupData_.SetText(reply);
  groupName_ = name;
}

void TProgramManager::CreateGroup(const QString& name) {
  Connect();
  if (name.isEmpty()) return;
  if (!Execute(QStringLiteral("[CreateGroup(\"") + name + QStringLiteral("\")]")))
    throw EAIPMCannotCreateGroup(name);
  SelectGroup(name);
}

int TProgramManager::ItemCount() const {
  return groupData_.Count() < 2 ? 0 : groupData_.Count() - 1;
}

int TProgramManager::FindItem(const QString& name) {
  Connect();
  for (int i = 1; i <= ItemCount(); ++i) {
    if (ItemName(i) == name) return i;
  }
  return -1;
}

QString TProgramManager::GetItemField(int index, int field) const {
  if (index <= 0 || index > ItemCount()) return QString();
  return Unquote(GetField(groupData_[index], field, QLatin1Char(',')));
}

QString TProgramManager::ItemName(int index) const { return Unquote(GetItemField(index, 1)); }

QString TProgramManager::ItemCommandLine(int index) const {
  return Unquote(GetItemField(index, 2));
}

void TProgramManager::ShowCurrentGroup() {
  if (!Execute(QStringLiteral("[ShowGroup(") + groupName_ + QStringLiteral(",8)]")))
    throw EAIPMCannotOpenGroup(groupName_);
}

void TProgramManager::ReplaceItem(const QString& name) {
  Connect();
  if (groupName_.isEmpty()) return;
  ShowCurrentGroup();
  if (!Execute(QStringLiteral("[ReplaceItem(\"") + name + QStringLiteral("\")]")))
    throw EAIPMCannotReplaceItem(groupName_, name);
  SelectGroup(groupName_);
}

void TProgramManager::AddItem(const QString& commandLine, const QString& name,
                              const QString& iconPath, int iconIndex, const QString& defaultDir,
                              const QString& hotKey) {
  Connect();
  if (groupName_.isEmpty()) return;
  ShowCurrentGroup();
  const QString command = QStringLiteral("[AddItem(") + commandLine + QLatin1Char(',') + name +
                          QLatin1Char(',') + iconPath + QLatin1Char(',') +
                          QString::number(iconIndex) + QStringLiteral(",,,") + defaultDir +
                          QLatin1Char(',') + hotKey + QStringLiteral(")]");
  if (!Execute(command)) throw EAIPMCannotAddItem(groupName_, name, command);
  SelectGroup(groupName_);
}

TProgramManager& ProgramManager() {
  return ProcessObject<TProgramManager>([] { return std::make_unique<TProgramManager>(nullptr); });
}
