#pragma once
// Scripted stand-ins for the message-box and file-dialog services. A test creates one, scripts the
// answers in the order the boxes will come, runs the code and reads back every box or dialog shown.
// A box or dialog with no scripted answer fails the test (and gets the default button, or a cancel)
// instead of waiting for a user. While none is alive, any box or dialog fails the test the same way.
#include "filedialog.h"
#include "msgbox.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace testui {

class ScriptedMsgBoxes : public ui::MsgBoxService {
public:
  ScriptedMsgBoxes();   // installs itself
  ~ScriptedMsgBoxes();  // puts back the previous service; scripted answers left unused fail the test

  // The answer of the next box; it must be one of that box's buttons.
  ScriptedMsgBoxes& answer(ui::VbMsgBoxResult result);

  const std::vector<ui::MsgBoxRequest>& shown() const { return shown_; }
  QStringList texts() const;

  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& request) override;

private:
  std::deque<ui::VbMsgBoxResult> answers_;
  std::vector<ui::MsgBoxRequest> shown_;
  ui::MsgBoxService* previous_;
};

class ScriptedFileDialogs : public ui::FileDialogService {
public:
  ScriptedFileDialogs();
  ~ScriptedFileDialogs();

  ScriptedFileDialogs& choose(const QString& path);  // the next dialog returns this path
  ScriptedFileDialogs& cancel();                     // the next dialog is cancelled

  const std::vector<ui::FileDialogRequest>& shown() const { return shown_; }

  std::optional<QString> showOpen(const ui::FileDialogRequest& request) override;

private:
  std::deque<std::optional<QString>> answers_;
  std::vector<ui::FileDialogRequest> shown_;
  ui::FileDialogService* previous_;
};

}  // namespace testui
