#include "cobtenerdirectorio.h"

#include "qt_print.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// Answers with a fixed result code after writing `text` at the start of the buffer.
class ScriptedShell : public ShellFolders {
public:
  ScriptedShell(qint32 result, QString text) : result_(result), text_(std::move(text)) {}
  qint32 GetFolderPath(qint32 folder, QString& buffer) override {
    asked = folder;
    receivedSize = buffer.size();
    buffer.replace(0, text_.size(), text_);
    return result_;
  }
  qint32 asked = -1;
  qsizetype receivedSize = -1;

private:
  qint32 result_;
  QString text_;
};

TEST(ObtenerCarpeta, EachResultOfTheShellGivesItsOwnText) {
  const QString system = QStringLiteral("C:\\WINDOWS\\SysWOW64");
  QString untouched(shfolder::MAX_PATH, QChar(0));
  untouched.replace(0, system.size(), system);
  const qint32 E_FAIL = qint32(0x80004005u);
  struct Case {
    qint32 result;
    QString expected;
  } cases[] = {
      {shfolder::S_OK, system},
      {shfolder::S_FALSE, QCoreApplication::applicationDirPath()},
      {shfolder::E_INVALIDARG, QString()},
      {E_FAIL, untouched},  // any other answer: the whole buffer, NULs included
  };
  for (const Case& c : cases) {
    ScriptedShell shell(c.result, system);
    cObtenerDirectorio directorio(&shell);
    EXPECT_EQ(directorio.ObtenerCarpeta(shfolder::CSIDL_SYSTEMX86, shfolder::CSIDL_FLAG_CREATE), c.expected)
        << "result " << c.result;
    EXPECT_EQ(shell.asked, shfolder::CSIDL_SYSTEMX86 | shfolder::CSIDL_FLAG_CREATE);
    EXPECT_EQ(shell.receivedSize, shfolder::MAX_PATH);
  }
}

TEST(ObtenerCarpeta, ThisSystemHasNoSystemFolderAndRefusesUnknownIds) {
  cObtenerDirectorio directorio;
  EXPECT_EQ(directorio.ObtenerCarpeta(shfolder::CSIDL_SYSTEMX86, 0), QCoreApplication::applicationDirPath());
  EXPECT_EQ(directorio.ObtenerCarpeta(shfolder::CSIDL_SYSTEMX86, shfolder::CSIDL_FLAG_CREATE),
            QCoreApplication::applicationDirPath());
  EXPECT_EQ(directorio.ObtenerCarpeta(0x25, 0), QString());
}

}  // namespace
