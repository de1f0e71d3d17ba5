#include "app/form1.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include "app/compose_handlers.h"
#include "app/compose_panel.h"
#include "platform/fonts.h"
#include "app/icons.h"
#include "app/main_menus.h"
#include "app/recipient_completion.h"
#include "core/login_passwords.h"
#include "app/settings_panel.h"
#include "app/startup.h"
#include "app/window_size.h"
#include "addressbook/form4.h"
#include "logs/form2.h"
#include "core/settings_store.h"
#include "send/mailto_link.h"
#include "send/parupo.h"

namespace parupo {

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      folder_(services_.programFolder),
      mail_(services_.mail),
      passwords_(services_.keyring && services_.passwordBox
                     ? std::make_unique<PasswordSource>(*services_.keyring, *services_.passwordBox)
                     : nullptr),
      keyringMail_(passwords_ ? std::make_unique<KeyringMail>(mail_, *passwords_) : nullptr),
      sendOperation_(std::make_unique<SendOperation>(keyringMail_ ? static_cast<MailLibrary&>(*keyringMail_) : mail_,
                                                     services_.dialogs, services_.clock, folder_)),
      twips_(this, kDefaultWindowHeight, kDefaultWindowWidth) {
  setWindowTitle(QString::fromUtf8(kProgramCaption));
  setWindowIcon(programIcon());

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Form1_client"));
  setCentralWidget(client);
  compose_ = std::make_unique<ComposePanel>(client, twips_);
  settingsPanel_ = std::make_unique<SettingsPanel>(client, twips_);

  File1 = new QListWidget(client);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setAccessibleName(QStringLiteral("File1"));
  twips_.place(File1, 60, 2640, 915, 270);
  File1->hide();

  Command2 = new QPushButton(QStringLiteral("mail check"), client);
  Command2->setObjectName(QStringLiteral("Command2"));
  twips_.place(Command2, 840, 1500, 975, 315);
  Command2->hide();

  wireMenusAndAids();

  // Caption, borders and menu bar as the size rules count them: the design's client area
  // is 4650 by 4530 in a window 4770 by 5220.
  twips_.setDesignFrame(690, 120, menuBar());
  setWindowSizeTwips(kDefaultWindowHeight, kDefaultWindowWidth);
  Form_Load(planStartup(folder_, services_.clock.now()));

  // The end of the session: the session manager first asks for the data to be saved
  // (it may still cancel the logout), then ends the application.
#if QT_CONFIG(sessionmanager)
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { saveBeforeEnding(); });
#endif
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { requestEnd(); });
}

Form1::~Form1() = default;

void Form1::wireMenusAndAids() {
  menus_ = std::make_unique<MainMenus>(
      menuBar(), MainMenus::Handlers{.settings = [this] { settingsPanelShown() ? PutPop() : SetPop(); },
                                     .historyPicked = [this](int slot) { pickHistory(slot); },
                                     .clear = [this] { clearCompose(); },
                                     .logViewer = [this] { openLogViewer(); },
                                     .addressBook = [this] { openAddressBook(); },
                                     .attachment = [this] { handlers_->TnpFile(); },
                                     .dropAttachment = [this] { handlers_->dropAttachment(); },
                                     .moveToKeyring = [this] { movePasswordsToKeyring(); }});
  connect(compose_->Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  mail_.onEscape = [this] { (void)askToStop(); };
  mail_.onProgress = [this](std::optional<int> percent) { showProgress(percent); };
  // F10 opens the menus, as on the desktops around it.
  new QShortcut(QKeySequence(Qt::Key_F10), this, [this] { menus_->openFirstMenu(); });
  handlers_ = std::make_unique<ComposeHandlers>(*compose_, *menus_, *this, *settingsPanel_->Text6, services_,
                                                *sendOperation_);
  // 宛先 offers the history's recipients and the book's entries as the user types.
  new RecipientCompletion(*compose_->Text1, folder_, [this] {
    std::vector<std::string> recipients;
    for (int i = 0; i < RecipientHistory::kSlots; ++i) {
      if (history_.shown(i)) recipients.push_back(history_.slot(i));
    }
    return recipients;
  });
}

// The single instance is settled before the window is made (main.cpp).
void Form1::Form_Load(StartupPlan plan) {
  compose_->Command4->setVisible(plan.developmentFolder);
  applySettings(plan.settings);
  settingsUnreadable_ = plan.settingsUnreadable;
  compose_->setSubject(plan.subject);
  history_ = plan.history;
  compose_->setRecipient(plan.recipient);
  if (plan.openSettingsPanel) SetPop();
  mAdrs = std::move(plan.addressBookLines);
  Rireki(false);
  menus_->showChosenHistoryMenu();
}

void Form1::applySettings(const Settings& st) {
  settingsPanel_->show(st);
  menus_->show(st);
  setWindowHeight(st.height);
  setWindowWidth(st.width);
}

Settings Form1::settings() const {
  Settings st;
  settingsPanel_->readInto(st);
  menus_->readInto(st);
  // The settings panel has a size of its own; the window's size is the one it had before.
  st.height = settingsPanelShown() ? savedHeight_ : twips_.height();
  st.width = settingsPanelShown() ? savedWidth_ : twips_.width();
  return st;
}

// --- The settings panel and the settings files ---------------------------------------

// One box for one save, however many of its files failed (a full disk fails both).
void Form1::SavePopDat() {
  const std::vector<std::string> problems = parupo::saveSettings(folder_, settings(), settingsUnreadable_);
  if (problems.empty()) return;
  std::string text;
  for (const std::string& problem : problems) text += problem + "\n";
  services_.dialogs.message(text + "前に保存した内容はそのまま残っています。");
}

bool Form1::settingsPanelShown() const { return !settingsPanel_->Frame1->isHidden(); }

void Form1::SetPop() {
  // Already open (the dummy-address stop can come while it is): the compose size saved
  // when it opened stays the one to go back to.
  if (settingsPanelShown()) return;
  settingsPanel_->Frame1->show();
  compose_->Frame2->hide();
  savedHeight_ = twips_.height();
  savedWidth_ = twips_.width();
  setWindowSizeTwips(kSettingsPanelHeight, kSettingsPanelWidth);
}

void Form1::PutPop() {
  // Text the files cannot keep is refused while the user still sees the fields.
  if (const std::string refused = unsavableSettings(settings()); !refused.empty()) {
    return services_.dialogs.message(refused);
  }
  settingsPanel_->Frame1->hide();
  compose_->Frame2->show();
  setWindowSizeTwips(savedHeight_, savedWidth_);
  SavePopDat();
}

// The passwords of the panel go to the keyring; PP1.dat is written without them only
// once the keyring holds each, and the panel then shows the fields without them.
void Form1::movePasswordsToKeyring() {
  if (services_.keyring == nullptr || stage_.stage() != SendStage::Stage::Idle) return;
  Settings st = settings();
  const std::string why = parupo::movePasswordsToKeyring(st, *services_.keyring);
  if (!why.empty()) return services_.dialogs.message(why);
  settingsPanel_->show(st);
  SavePopDat();
  services_.dialogs.message("パスワードをキーリングに移しました");
}

// --- Menus and the recipient history --------------------------------------------------

void Form1::clearCompose() {
  compose_->setRecipient("");
  compose_->setSubject(settings().dateSubject(services_.clock.now()).value_or(""));
  compose_->setBody("");
}

void Form1::Rireki(bool reportProblems) {
  history_.promote(compose_->recipient());
  const std::string error = history_.save(folder_ / "PP2.dat");
  menus_->showHistory(history_, mAdrs);
  if (reportProblems && !error.empty())
    services_.dialogs.message("宛先の履歴 (PP2.dat) を保存できませんでした。\n" + error);
}

void Form1::pickHistory(int slot) {
  // An empty slot is never shown, so it is never picked.
  if (slot < 0 || slot >= RecipientHistory::kSlots || !history_.shown(slot)) return;
  compose_->setRecipient(history_.slot(slot));
  Rireki();
  compose_->setNoCopy(isOwnAddress(settings().replyTo, compose_->recipient()));
}

// --- The other windows ------------------------------------------------------------------

// "び": the viewer takes this window's place until it closes; this window then comes
// back where it was, not where a window manager would put a new window.
void Form1::openLogViewer() {
  parupo::openLogViewer(services_.dialogs, folder_, this, [this](bool visible) {
    if (!visible) {
      placeBeforeViewer_ = pos();
      hide();
      return;
    }
    twips_.showAt(placeBeforeViewer_);
  });
}

// "あ2": the book opens beside this window and loads its file; chosen again while it is
// open, it only comes to the front.
void Form1::openAddressBook() {
  if (book_) {
    book_->raiseWindow();
    return;
  }
  book_ = new Form4(services_.dialogs, folder_, *this, this);
  book_->showBesideMainWindow();
}

// --- Sending ---------------------------------------------------------------------------

void Form1::Command1_Click() { Parupo(); }

SendOutcome Form1::Parupo() {
  if (stage_.begin()) mail_.watch().clear();
  const SendOutcome result = sendOperation_->Parupo(*this);
  // A send that went through before the user stopped it stays sent, but it ends as stopped.
  const SendOutcome outcome = stage_.stopRequested() ? SendOutcome::Stopped : result;
  if (stage_.end()) QTimer::singleShot(0, this, &QWidget::close);
  return outcome;
}

bool Form1::askToStop() { return stage_.on(SendStage::Event::Escape).ask && answerStop(); }

// Asked over this window, once at a time. A send that has gone through meanwhile stays
// sent, and nothing more is sent in this send.
bool Form1::answerStop() {
  const bool stop = services_.dialogs.askYesNo(stopQuestion(mail_.watch().handedOver()), "ぱるぽ");
  stage_.on(stop ? SendStage::Event::Yes : SendStage::Event::No);
  if (stop) mail_.watch().requestStop();
  return stop;
}

void Form1::showProgress(std::optional<int> percent) {
  const std::string text = percent ? caption_ + " " + std::to_string(*percent) + "%" : caption_;
  setWindowTitle(QString::fromStdString(text));
}

std::string Form1::recipient() const { return compose_->recipient(); }
void Form1::setRecipient(const std::string& text) { compose_->setRecipient(text); }
std::string Form1::subject() const { return compose_->subject(); }
void Form1::setSubject(const std::string& text) { compose_->setSubject(text); }
std::string Form1::body() const { return compose_->body(); }
void Form1::setBody(const std::string& text) { compose_->setBody(text); }
bool Form1::noCopy() const { return compose_->noCopy(); }
void Form1::setNoCopy(bool checked) { compose_->setNoCopy(checked); }
void Form1::setQuitAfterSend(bool checked) { menus_->setQuitAfterSend(checked); }
void Form1::setSubjectIsDate(bool checked) { menus_->setSubjectIsDate(checked); }
std::string Form1::caption() const { return windowTitle().toStdString(); }
void Form1::setCaption(const std::string& caption) {
  caption_ = caption;
  setWindowTitle(QString::fromStdString(caption));
}
void Form1::setSendEnabled(bool enabled) { compose_->Command1->setEnabled(enabled); }

// --- Links ---------------------------------------------------------------------------

void Form1::openMailtoLink(const MailtoLink& link) {
  if (stage_.stage() != SendStage::Stage::Idle) {
    QTimer::singleShot(500, this, [this, link] { openMailtoLink(link); });
    return;
  }
  if (!link.recipients.empty()) setRecipient(link.recipients);
  if (link.subject) setSubject(*link.subject);
  if (link.body) setBody(*link.body);
  // While the log viewer has the main window hidden, the viewer brings it back.
  if (isVisible()) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  }
  if (link.bodyCut) {
    services_.dialogs.message("リンクの本文が長すぎるため、最初の" + std::to_string(kLinkBodyLimit) +
                              "文字だけを本文に入れました。");
  }
}

// --- Closing ---------------------------------------------------------------------------

// Closing never refuses: during a send it may ask whether to stop the send first, and the
// window then closes when the send is over (send/send_stage.h).
void Form1::closeEvent(QCloseEvent* event) {
  const SendStage::Effect effect = stage_.on(SendStage::Event::CloseBox);
  if (effect.ask) (void)answerStop();
  if (!effect.endNow) {
    event->ignore();
    return;
  }
  event->accept();
  endProgram();
}

void Form1::requestEnd() {
  if (stage_.on(SendStage::Event::EndSignal).endNow) endProgram();
}

void Form1::endProgram() {
  saveBeforeEnding();
  if (services_.endProgram) services_.endProgram();
}

void Form1::saveBeforeEnding() {
  // The address book first: during a consecutive send it gives its options back, and
  // the settings saved next must hold the user's own choice.
  if (book_) book_->saveBeforeProgramEnds();
  SavePopDat();
}

// --- Size ------------------------------------------------------------------------------

void Form1::setWindowHeight(double twips) {
  if (twips_.setHeight(twips)) Form_Resize();
}

void Form1::setWindowWidth(double twips) {
  if (twips_.setWidth(twips)) Form_Resize();
}

void Form1::setWindowSizeTwips(double height, double width) {
  setWindowHeight(height);
  setWindowWidth(width);
}

void Form1::Form_Resize() {
  if (isMinimized()) return;
  const ComposeLayout fit = composeLayout(twips_.height(), twips_.width(), !compose_->Frame2->isHidden());
  if (fit.height != twips_.height()) twips_.setHeight(fit.height);
  if (fit.width != twips_.width()) twips_.setWidth(fit.width);
  // The controls keep the design's margins to the client area, whatever the real frame.
  compose_->fit(composeControls(twips_.ruleHeight(), twips_.ruleWidth()), twips_);
}

}  // namespace parupo
