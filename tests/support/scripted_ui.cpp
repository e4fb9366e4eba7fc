#include "scripted_ui.h"

#include "emulaenter.h"

#include <gtest/gtest.h>

namespace testui {

namespace {

std::string describe(const ui::MsgBoxRequest& r) {
  return "\"" + r.prompt.toStdString() + "\" (buttons+icon " + std::to_string(int(r.buttons)) +
         ", title \"" + r.title.toStdString() + "\")";
}

std::string describe(const ui::FileDialogRequest& r) {
  return "\"" + r.title.toStdString() + "\" (filter \"" + r.filter.toStdString() + "\", flags " +
         std::to_string(r.flags) + ")";
}

// Installed for the whole run: a box nobody scripted must fail its test, never wait for a click.
class Unscripted : public ui::MsgBoxService, public ui::FileDialogService {
public:
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override {
    ADD_FAILURE() << "message box shown with no ScriptedMsgBoxes in place: " << describe(r);
    return r.defaultAnswer();
  }
  std::optional<QString> showOpen(const ui::FileDialogRequest& r) override {
    ADD_FAILURE() << "file dialog shown with no ScriptedFileDialogs in place: " << describe(r);
    return std::nullopt;
  }
};

class UnscriptedEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    ui::installMsgBoxService(&guard_);
    ui::installFileDialogService(&guard_);
  }
  void TearDown() override {
    ui::installMsgBoxService(nullptr);
    ui::installFileDialogService(nullptr);
  }

private:
  Unscripted guard_;
};

[[maybe_unused]] ::testing::Environment* const kUnscripted =
    ::testing::AddGlobalTestEnvironment(new UnscriptedEnvironment);

// The application-wide rules every program installs at its start hold in the tests too.
class ProgramRulesEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ui::installEnterPressesButtons(); }
};

[[maybe_unused]] ::testing::Environment* const kProgramRules =
    ::testing::AddGlobalTestEnvironment(new ProgramRulesEnvironment);

}  // namespace

ScriptedMsgBoxes::ScriptedMsgBoxes() : previous_(ui::installMsgBoxService(this)) {}

ScriptedMsgBoxes::~ScriptedMsgBoxes() {
  ui::installMsgBoxService(previous_);
  if (!answers_.empty())
    ADD_FAILURE() << answers_.size() << " scripted message-box answer(s) never used";
}

ScriptedMsgBoxes& ScriptedMsgBoxes::answer(ui::VbMsgBoxResult result) {
  answers_.push_back(result);
  return *this;
}

QStringList ScriptedMsgBoxes::texts() const {
  QStringList all;
  for (const auto& r : shown_) all.append(r.prompt);
  return all;
}

ui::VbMsgBoxResult ScriptedMsgBoxes::show(const ui::MsgBoxRequest& request) {
  shown_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "message box shown with no scripted answer: " << describe(request);
    return request.defaultAnswer();
  }
  const ui::VbMsgBoxResult result = answers_.front();
  answers_.pop_front();
  if (!request.answers().contains(result))
    ADD_FAILURE() << "scripted answer " << int(result) << " is not a button of " << describe(request);
  return result;
}

ScriptedFileDialogs::ScriptedFileDialogs() : previous_(ui::installFileDialogService(this)) {}

ScriptedFileDialogs::~ScriptedFileDialogs() {
  ui::installFileDialogService(previous_);
  if (!answers_.empty())
    ADD_FAILURE() << answers_.size() << " scripted file-dialog answer(s) never used";
}

ScriptedFileDialogs& ScriptedFileDialogs::choose(const QString& path) {
  answers_.push_back(path);
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::cancel() {
  answers_.push_back(std::nullopt);
  return *this;
}

std::optional<QString> ScriptedFileDialogs::showOpen(const ui::FileDialogRequest& request) {
  shown_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "file dialog shown with no scripted answer: " << describe(request);
    return std::nullopt;
  }
  std::optional<QString> result = answers_.front();
  answers_.pop_front();
  return result;
}

}  // namespace testui
