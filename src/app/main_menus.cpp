#include "app/main_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace parupo {

namespace {

// The entries of the options menu Sup, by position.
enum SupEntry {
  kClear = 0,       // "送信内容クリア"
  kAttachment = 1,  // "添付ファイル"
  kSeparator = 2,
  kQuitAfterSend = 3,   // "送信後終了"
  kReplySubmenu = 4,    // "返信先に送信する"
  kStartupAddress = 5,  // "起動時特定アドレス"
  kSaveLog = 6,         // "履歴を保存する"
  kSubjectIsDate = 7,   // "件名を日付にする"
  kHistoryByName = 8,   // "履歴を名称で表示する"
  kReceiveFirst = 9,    // "最初に受信処理を行う"
};

// The entries of the menu bar PopSetup, by position.
enum PopSetupEntry {
  kSettings = 0,  // "設定"
  kHistoryByAddress = 1,
  kHistoryByNameMenu = 2,
  kOptions = 3,      // "環境"
  kLogViewer = 4,    // "び"
  kHiddenEntry = 5,  // "あ", never shown
  kAddressBook = 6,  // "あ2"
};

void name(QObject* o, const QString& n) { o->setObjectName(n); }

// A menu caption shows "&" as itself.
QString menuText(const std::string& text) { return QString::fromStdString(text).replace('&', QStringLiteral("&&")); }

}  // namespace

MainMenus::MainMenus(QMenuBar* bar, Handlers handlers) : handlers_(std::move(handlers)), bar_(bar) {
  name(bar, QStringLiteral("PopSetup"));

  PopSetup[kSettings] = bar->addAction(QStringLiteral("設定"));
  QObject::connect(PopSetup[kSettings], &QAction::triggered, bar, [this] { handlers_.settings(); });

  PopSetup[kHistoryByAddress] = addHistoryMenu(bar, QStringLiteral("Slog"), Slog);
  PopSetup[kHistoryByNameMenu] = addHistoryMenu(bar, QStringLiteral("Slog2"), Slog2);
  addOptionsMenu(bar);

  PopSetup[kLogViewer] = bar->addAction(QStringLiteral("び"));
  QObject::connect(PopSetup[kLogViewer], &QAction::triggered, bar, [this] { handlers_.logViewer(); });
  PopSetup[kHiddenEntry] = bar->addAction(QStringLiteral("あ"));
  PopSetup[kAddressBook] = bar->addAction(QStringLiteral("あ2"));
  QObject::connect(PopSetup[kAddressBook], &QAction::triggered, bar, [this] { handlers_.addressBook(); });
  PopSetup[kHistoryByAddress]->setVisible(false);
  PopSetup[kHiddenEntry]->setVisible(false);
  for (int i = 0; i < static_cast<int>(PopSetup.size()); ++i) name(PopSetup[i], QStringLiteral("PopSetup_%1").arg(i));
}

// The two history menus, by address and by name: ten entries each, filled at start-up.
QAction* MainMenus::addHistoryMenu(QMenuBar* bar, const QString& menuName,
                                   std::array<QAction*, RecipientHistory::kSlots>& entries) {
  QMenu* menu = bar->addMenu(QStringLiteral("履歴"));
  name(menu, menuName + QStringLiteral("Menu"));
  for (int i = 0; i < RecipientHistory::kSlots; ++i) {
    entries[i] = menu->addAction(QString());
    name(entries[i], menuName + QStringLiteral("_%1").arg(i));
    QObject::connect(entries[i], &QAction::triggered, bar, [this, i] { handlers_.historyPicked(i); });
  }
  return menu->menuAction();
}

void MainMenus::addOptionsMenu(QMenuBar* bar) {
  QMenu* options = bar->addMenu(QStringLiteral("環境"));
  name(options, QStringLiteral("SupMenu"));
  PopSetup[kOptions] = options->menuAction();
  Sup[kClear] = options->addAction(QStringLiteral("送信内容クリア"));
  Sup[kAttachment] = options->addAction(QStringLiteral("添付ファイル"));
  DropAttachment = options->addAction(QStringLiteral("添付ファイルを外す"));
  name(DropAttachment, QStringLiteral("DropAttachment"));
  showAttachmentSet(false);
  Sup[kSeparator] = options->addSeparator();
  Sup[kQuitAfterSend] = options->addAction(QStringLiteral("送信後終了"));
  QMenu* replyMenu = options->addMenu(QStringLiteral("返信先に送信する"));
  name(replyMenu, QStringLiteral("Sup2Menu"));
  Sup[kReplySubmenu] = replyMenu->menuAction();
  Sup[kStartupAddress] = options->addAction(QStringLiteral("起動時特定アドレス"));
  Sup[kSaveLog] = options->addAction(QStringLiteral("履歴を保存する"));
  Sup[kSubjectIsDate] = options->addAction(QStringLiteral("件名を日付にする"));
  Sup[kHistoryByName] = options->addAction(QStringLiteral("履歴を名称で表示する"));
  Sup[kReceiveFirst] = options->addAction(QStringLiteral("最初に受信処理を行う"));
  for (int i : {kQuitAfterSend, kStartupAddress, kSaveLog, kSubjectIsDate, kHistoryByName, kReceiveFirst})
    Sup[i]->setCheckable(true);
  show(Settings{});
  for (int i = 0; i < static_cast<int>(Sup.size()); ++i) name(Sup[i], QStringLiteral("Sup_%1").arg(i));
  QObject::connect(Sup[kClear], &QAction::triggered, bar, [this] { handlers_.clear(); });
  QObject::connect(Sup[kAttachment], &QAction::triggered, bar, [this] { handlers_.attachment(); });
  QObject::connect(DropAttachment, &QAction::triggered, bar, [this] { handlers_.dropAttachment(); });
  // Every entry of the options menu, the check marks included, may change which history
  // menu shows.
  for (int i = 0; i < static_cast<int>(Sup.size()); ++i) {
    if (i == kSeparator || i == kReplySubmenu) continue;
    QObject::connect(Sup[i], &QAction::triggered, bar, [this] { showChosenHistoryMenu(); });
  }
  addReplyModes(replyMenu);
  options->addSeparator();
  MoveToKeyring = options->addAction(QStringLiteral("パスワードをキーリングに移す"));
  name(MoveToKeyring, QStringLiteral("MoveToKeyring"));
  QObject::connect(MoveToKeyring, &QAction::triggered, bar, [this] { handlers_.moveToKeyring(); });
}

// One reply-to mode at a time, shown with radio marks; a settings file may check none.
void MainMenus::addReplyModes(QMenu* replyMenu) {
  auto* replyModes = new QActionGroup(replyMenu);
  const char* const replyModeNames[kReplyModeCount] = {"送らない", "コピーを送る", "ダミーに送る", "別々に送る"};
  for (int i = 0; i < kReplyModeCount; ++i) {
    Sup2[i] = replyMenu->addAction(QString::fromUtf8(replyModeNames[i]));
    name(Sup2[i], QStringLiteral("Sup2_%1").arg(i));
    Sup2[i]->setCheckable(true);
    replyModes->addAction(Sup2[i]);
  }
}

void MainMenus::show(const Settings& st) {
  Sup[kQuitAfterSend]->setChecked(st.quitAfterSend);
  Sup[kStartupAddress]->setChecked(st.startupAddress);
  Sup[kSaveLog]->setChecked(st.saveLog);
  Sup[kSubjectIsDate]->setChecked(st.subjectIsDate);
  Sup[kHistoryByName]->setChecked(st.historyByName);
  Sup[kReceiveFirst]->setChecked(st.receiveFirst);
  // A mode the menu does not know leaves the marks as they are; checking one unchecks
  // the others, as they are one group.
  if (isReplyMode(st.checkedReplyMode)) Sup2[static_cast<std::size_t>(st.checkedReplyMode)]->setChecked(true);
}

void MainMenus::readInto(Settings& st) const {
  st.quitAfterSend = Sup[kQuitAfterSend]->isChecked();
  st.startupAddress = Sup[kStartupAddress]->isChecked();
  st.saveLog = Sup[kSaveLog]->isChecked();
  st.subjectIsDate = Sup[kSubjectIsDate]->isChecked();
  st.historyByName = Sup[kHistoryByName]->isChecked();
  st.receiveFirst = Sup[kReceiveFirst]->isChecked();
  st.checkedReplyMode = NoReplyMode;
  for (int i = 0; i < kReplyModeCount; ++i)
    if (Sup2[i]->isChecked()) st.checkedReplyMode = i;
}

void MainMenus::setQuitAfterSend(bool checked) { Sup[kQuitAfterSend]->setChecked(checked); }
void MainMenus::setSubjectIsDate(bool checked) { Sup[kSubjectIsDate]->setChecked(checked); }

bool MainMenus::toggleSubjectIsDate() {
  Sup[kSubjectIsDate]->trigger();
  return Sup[kSubjectIsDate]->isChecked();
}

void MainMenus::showAttachmentSet(bool attached) { DropAttachment->setEnabled(attached); }

void MainMenus::showHistory(const RecipientHistory& history, const std::vector<std::string>& addressBookLines) {
  const auto names = history.namesFrom(addressBookLines);
  for (int i = 0; i < RecipientHistory::kSlots; ++i) {
    Slog[i]->setText(menuText(history.slot(i)));
    Slog[i]->setVisible(history.shown(i));
    Slog2[i]->setText(menuText(names[static_cast<std::size_t>(i)]));
    Slog2[i]->setVisible(history.shown(i));
  }
}

void MainMenus::showChosenHistoryMenu() {
  const bool byName = Sup[kHistoryByName]->isChecked();
  PopSetup[kHistoryByAddress]->setVisible(!byName);
  PopSetup[kHistoryByNameMenu]->setVisible(byName);
}

void MainMenus::openFirstMenu() {
  for (QAction* a : PopSetup) {
    if (a->isVisible() && a->menu()) {
      bar_->setActiveAction(a);
      return;
    }
  }
}

}  // namespace parupo
