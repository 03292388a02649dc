#include "installer/engine/routines_Exceptions.h"

#include "platform/rtl/ProcessState.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

TEST(ExceptionTree, FamiliesDeriveAsDeclared) {
  static_assert(std::is_base_of_v<EOndrixAbnormal, EocDiskFull>);
  static_assert(std::is_base_of_v<EOndxCompress, EocAborted>);
  static_assert(std::is_base_of_v<ECustomOndrixAbnormal, EAPIRoutines>);
  static_assert(std::is_base_of_v<ECustomOndrixAbnormal, IEInstall>);
  static_assert(std::is_base_of_v<IEFileContainer, IEfcDuplicateFile>);
  static_assert(std::is_base_of_v<IEInstallCDE, IEcdeCannotFindOndrixPath>);
  static_assert(std::is_base_of_v<EAI, EAIUserAbort>);
  static_assert(std::is_base_of_v<EAI, EAICannotExpandInstallDirMV>);
  static_assert(!std::is_base_of_v<ECustomOndrixAbnormal, EAI>);
  static_assert(!std::is_base_of_v<ECustomOndrixAbnormal, EIRCannotWriteValue>);
  static_assert(!std::is_base_of_v<IException, EOndxCompress>);
  SUCCEED();
}

TEST(ExceptionTree, FixedTextsAreWordForWord) {
  EXPECT_EQ(EocDiskFull().Message(), QStringLiteral("The disk is full"));
  EXPECT_EQ(EocAborted().Message(), QStringLiteral("Operation aborted by user"));
  EXPECT_EQ(EAIUserAbort().Message(), QStringLiteral("Installation aborted by the user"));
  EXPECT_EQ(IEcdeCannotFindOndrixPath().Message(),
            QStringLiteral("Cannot find the the Ondrix directory on the ZPK library search path"));
}

TEST(IExceptionTranslation, WithoutTranslatorTheEnglishTextStands) {
  EXPECT_EQ(IEInstall(QStringLiteral("Disk error")).Message(), QStringLiteral("Disk error"));
  EXPECT_EQ(IEInstall(QStringLiteral("%s got a nil PO parameter"), {QStringLiteral("Dlg1")}).Message(),
            QStringLiteral("Dlg1 got a nil PO parameter"));
}

TEST(IExceptionTranslation, MessageAndFormatPassTheTranslator) {
  QStringList asked;
  SetExceptionTranslator([&asked](const QString& text) {
    asked.append(text);
    return text == QStringLiteral("%s got a nil PO parameter")
               ? QStringLiteral("%s sai tyhjän parametrin")
               : QStringLiteral("[") + text + QStringLiteral("]");
  });
  EXPECT_EQ(IEInstallContainer(QStringLiteral("Oops")).Message(), QStringLiteral("[Oops]"));
  // The format is translated, the argument is not.
  EXPECT_EQ(IException(QStringLiteral("%s got a nil PO parameter"), {QStringLiteral("Oops")}).Message(),
            QStringLiteral("Oops sai tyhjän parametrin"));
  EXPECT_EQ(asked, (QStringList{QStringLiteral("Oops"), QStringLiteral("%s got a nil PO parameter")}));
}

TEST(IExceptionTranslation, TranslatedDefaultTextOfTheCdeException) {
  SetExceptionTranslator([](const QString& text) { return text.toUpper(); });
  EXPECT_EQ(IEcdeCannotFindOndrixPath().Message(),
            QStringLiteral("CANNOT FIND THE THE ONDRIX DIRECTORY ON THE ZPK LIBRARY SEARCH PATH"));
}

TEST(IExceptionTranslation, OtherFamiliesStayEnglish) {
  SetExceptionTranslator([](const QString&) { return QStringLiteral("translated"); });
  EXPECT_EQ(EOndxCompress(QStringLiteral("Cannot open the file x")).Message(),
            QStringLiteral("Cannot open the file x"));
  EXPECT_EQ(EocDiskFull().Message(), QStringLiteral("The disk is full"));
  EXPECT_EQ(EAIUserAbort().Message(), QStringLiteral("Installation aborted by the user"));
}

TEST(IExceptionTranslation, AMismatchedTranslatedFormatFallsBackToEnglish) {
  SetExceptionTranslator([](const QString&) { return QStringLiteral("%d %d %d"); });
  EXPECT_EQ(IEInstall(QStringLiteral("Bad <%s>"), {QStringLiteral("x")}).Message(),
            QStringLiteral("Bad <x>"));
}

TEST(IExceptionTranslation, ResetProcessStateClearsTheTranslator) {
  SetExceptionTranslator([](const QString&) { return QStringLiteral("translated"); });
  ResetProcessState();
  EXPECT_EQ(IEInstall(QStringLiteral("Plain")).Message(), QStringLiteral("Plain"));
  EXPECT_EQ(TranslateExceptionText(QStringLiteral("Plain")), QStringLiteral("Plain"));
}

TEST(IExceptionTranslation, WhatCarriesTheTranslatedText) {
  SetExceptionTranslator([](const QString&) { return QStringLiteral("Käännetty"); });
  const IEPathSpecifier e(QStringLiteral("Anything"));
  EXPECT_STREQ(e.what(), "Käännetty");
}

}  // namespace
