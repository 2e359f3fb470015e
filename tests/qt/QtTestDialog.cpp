#include "qt/QtTestDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <array>
#include <memory>
#include <string>

#include "support/QtTestEnvironment.h"
#include "ui/core/DataExchange.h"
#include "ui/core/DeviceContext.h"
#include "ui/core/MessageMap.h"

namespace qttest {
namespace {

using ui::ControlKind;

const std::string kRedLarge(32 * 32, '9');
const std::string kRedSmall(16 * 16, '9');

constexpr ui::ControlTemplate kControls[] = {
    {IDC_PRESS, ControlKind::PushButton, "&Press", 7, 7, 50, 14, ui::kTabStop},
    {IDC_NAME, ControlKind::Edit, "", 7, 25, 80, 14, ui::kBorder | ui::kTabStop},
    {IDC_PLAIN_LABEL, ControlKind::Label, "Fish & Chips", 7, 100, 60, 8, ui::kNoPrefix},
    {IDC_MNEMONIC_LABEL, ControlKind::Label, "&Name", 7, 110, 60, 8},
    {IDC_TICK, ControlKind::CheckBox, "Tick", 7, 43, 50, 10, ui::kTabStop},
    {IDC_GO, ControlKind::DefPushButton, "Go", 7, 60, 50, 14, ui::kTabStop},
    {ui::IDCANCEL, ControlKind::PushButton, "Cancel", 7, 78, 50, 14, ui::kTabStop},
    {IDC_PICTURE, ControlKind::Picture, "", 100, 20, 232, 191},
    {IDC_ICON, ControlKind::Icon, "", 70, 80, 20, 20, ui::kNoStyle, &kRedIcon},
};
constexpr unsigned kStyle = ui::kCaption | ui::kSysMenu | ui::kSetFont;
const ui::DialogTemplate kTestTemplate{500, kStyle, "Test dialog", "Sans", 8,
                                       0,   0,      340,           220,    kControls};

}  // namespace

TestDialog::TestDialog(ModalDialog* parent) : ModalDialog(kTestTemplate, parent) {}

const ui::IconResource kRedIcon = {128, {32, kRedLarge}, {16, kRedSmall}};

const ui::MessageMapBase* TestDialog::GetMessageMap() const {
  using Map = ui::MessageMap<TestDialog>;
  static const Map map(
      nullptr,
      {Map::OnCommand(IDC_PRESS, &TestDialog::OnPress), Map::OnCommand(IDC_GO, &TestDialog::OnGo),
       Map::OnCommand(IDC_TICK, &TestDialog::OnTick), Map::OnTimer(&TestDialog::OnTimerTick),
       Map::OnSysCommand(&TestDialog::OnSysCmd), Map::OnPaint(&TestDialog::OnPaintWindow)});
  return &map;
}

bool TestDialog::OnInitDialog() {
  ModalDialog::OnInitDialog();
  if (onInit)
    onInit();
  return true;
}

void TestDialog::ExchangeData(ui::DataExchange* dx) {
  ui::ExchangeControl(dx, IDC_PICTURE, m_picture);
}

void TestDialog::OnTimerTick(UINT id) {
  log.push_back("timer " + std::to_string(id));
  if (onTimer)
    onTimer(id);
}

void TestDialog::OnSysCmd(UINT id, ui::LPARAM lParam) {
  log.push_back("sys " + std::to_string(id));
  OnSysCommand(id, lParam);
}

void PressKey(const ui::ModalDialog& dialog, int key, Qt::KeyboardModifiers modifiers) {
  QWidget& window = WindowOf(dialog).Widget();
  QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(target, &press);
}

void Soon(std::function<void()> step) {
  QTimer::singleShot(0, QCoreApplication::instance(), std::move(step));
}

void QtTest::SetUp() {
  constexpr int kWatchdogMs = 5000;
  m_watchdog.setSingleShot(true);
  m_watchdog.setInterval(kWatchdogMs);
  QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
    ADD_FAILURE() << "a modal run did not end by itself";
    for (ui::ModalDialog* dialog : m_guarded)
      dialog->EndModal(kTimedOut);
  });
}

void QtTest::Guard(std::initializer_list<ui::ModalDialog*> dialogs) {
  m_guarded.insert(m_guarded.end(), dialogs.begin(), dialogs.end());
  m_watchdog.start();
}

void QtTest::TearDown() {
  m_watchdog.stop();
  // Widgets whose deletion was deferred are gone once the posted deletions
  // have run; anything left after that is a leaked window.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const QWidgetList leftOver = QApplication::topLevelWidgets();
  for (const QWidget* widget : leftOver)
    ADD_FAILURE() << "window left over: " << widget->metaObject()->className() << " \""
                  << widget->windowTitle().toStdString() << "\"";
}

}  // namespace qttest
