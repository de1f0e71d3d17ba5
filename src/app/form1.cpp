#include "app/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <exception>
#include <optional>
#include <system_error>

#include "app/icons.h"
#include "app/settings_file.h"
#include "app/window_size.h"
#include "platform/text_file.h"
#include "platform/twips.h"
#include "send/parupo.h"

namespace parupo {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

const char* const kCaption = "!ぱるぽ";
const char* const kDefaultDomain = "@example.jp";

// The fixed-pitch Japanese font of the compose boxes and the proportional one of the
// rest of the window, as named in the settings the program has always used, mapped to
// the IPA fonts that share their metrics.
const char* const kGothic = "ＭＳ ゴシック";
const char* const kPGothic = "ＭＳ Ｐゴシック";

void registerFontNames() {
  static bool done = false;
  if (done) return;
  done = true;
  QFont::insertSubstitution(QString::fromUtf8(kGothic), QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(QString::fromUtf8(kPGothic), QStringLiteral("IPAPGothic"));
}

// A menu caption shows "&" as itself.
QString menuText(const std::string& text) { return q(text).replace('&', QStringLiteral("&&")); }

bool fileExists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

// The lines of a data file; none when it is missing or can't be read (a start-up step
// then skips itself).
std::optional<std::vector<std::string>> readDataFile(const std::filesystem::path& p) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  try {
    return readTextLines(p);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void setTextColour(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(role, colour);
  w->setPalette(pal);
}

}  // namespace

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      folder_(services_.programFolder),
      mail_(services_.mail) {
  registerFontNames();
  sendOperation_ =
      std::make_unique<SendOperation>(mail_, services_.dialogs, services_.clock, folder_);

  setWindowTitle(QString::fromUtf8(kCaption));
  setWindowIcon(programIcon());
  setFont(QFont(QString::fromUtf8(kPGothic), 9));

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Form1_client"));
  setCentralWidget(client);
  buildComposePanel(client);
  buildSettingsPanel(client);

  File1 = new QListWidget(client);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setAccessibleName(QStringLiteral("File1"));
  placeTw(File1, 60, 2640, 915, 270);
  File1->hide();

  Command2 = new QPushButton(QStringLiteral("mail check"), client);
  Command2->setObjectName(QStringLiteral("Command2"));
  placeTw(Command2, 840, 1500, 975, 315);
  Command2->hide();

  buildMenus();

  applyWindowSize();
  Form_Resize();
  Form_Load();
}

Form1::~Form1() = default;

// --- Building the window --------------------------------------------------------------

void Form1::buildComposePanel(QWidget* client) {
  Frame2 = new QGroupBox(QStringLiteral("送信内容"), client);
  Frame2->setObjectName(QStringLiteral("Frame2"));
  Frame2->setAccessibleName(Frame2->title());
  placeTw(Frame2, 60, 60, 4515, 2475);

  const QFont gothic(QString::fromUtf8(kGothic), 9);
  const char* const labels[3] = {"宛先", "件名", "本文"};
  for (int i = 0; i < 3; ++i) {
    Label1[i] = new QLabel(QString::fromUtf8(labels[i]), Frame2);
    Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    placeTw(Label1[i], 120, 300 + 360 * i, 360, 180);
  }

  Command4 = new QPushButton(QStringLiteral("帰"), Frame2);
  Command4->setObjectName(QStringLiteral("Command4"));
  Command4->setAccessibleName(QStringLiteral("帰"));
  placeTw(Command4, 120, 240, 435, 315);
  Command4->hide();

  Check1 = new QCheckBox(Frame2);  // the box alone, no text beside it
  Check1->setObjectName(QStringLiteral("Check1"));
  Check1->setToolTip(QStringLiteral("返信先にコピーを送らない場合はチェック"));
  Check1->setAccessibleName(Check1->toolTip());
  placeTw(Check1, 660, 240, 255, 255);

  Text1 = new QLineEdit(QString::fromUtf8(kDefaultDomain), Frame2);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setFont(gothic);
  placeTw(Text1, 960, 240, 3435, 270);

  Text3 = new QLineEdit(Frame2);
  Text3->setObjectName(QStringLiteral("Text3"));
  Text3->setFont(gothic);
  placeTw(Text3, 660, 600, 3735, 270);

  Text4 = new QPlainTextEdit(Frame2);
  Text4->setObjectName(QStringLiteral("Text4"));
  Text4->setFont(gothic);
  Text4->setTabChangesFocus(true);
  placeTw(Text4, 660, 1020, 3735, 1335);

  // Picture buttons: a person reads their tooltip.
  auto iconButton = [this](const char* name, const QIcon& icon, const char* tip, double top) {
    auto* b = new QPushButton(Frame2);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAccessibleName(b->toolTip());
    placeTw(b, 120, top, 435, 435);
    return b;
  };
  Command3 = iconButton("Command3", attachmentIcon(), "添付ファイル", 1380);
  Command1 = iconButton("Command1", sendIcon(), "メッセージ送信", 1920);

  mAdrs = new QListWidget(Frame2);
  mAdrs->setObjectName(QStringLiteral("mAdrs"));
  mAdrs->setAccessibleName(QStringLiteral("mAdrs"));
  placeTw(mAdrs, 780, 1140, 735, 240);
  mAdrs->hide();

  QLineEdit* const buddies[3] = {Text1, Text3, nullptr};
  for (int i = 0; i < 2; ++i) {
    Label1[i]->setBuddy(buddies[i]);
    buddies[i]->setAccessibleName(Label1[i]->text());
  }
  Label1[2]->setBuddy(Text4);
  Text4->setAccessibleName(Label1[2]->text());

  // Keyboard order: recipient, subject, body, send; then the attachment and the box.
  setTabOrder(Text1, Text3);
  setTabOrder(Text3, Text4);
  setTabOrder(Text4, Command1);
  setTabOrder(Command1, Command3);
  setTabOrder(Command3, Check1);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  // The attachment button and "帰" get their actions with the composition aids.
}

void Form1::buildSettingsPanel(QWidget* client) {
  Frame1 = new QGroupBox(QStringLiteral("初期設定"), client);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setAccessibleName(Frame1->title());
  placeTw(Frame1, 0, 0, 4515, 4395);  // moved over the compose panel at start-up
  Frame1->hide();

  auto field = [this](const char* name, double l, double t, double w, double h) {
    auto* e = new QLineEdit(Frame1);
    e->setObjectName(QString::fromLatin1(name));
    placeTw(e, l, t, w, h);
    return e;
  };
  auto label = [this](const QString& name, const char* text, double l, double t, double w,
                      double h, QLineEdit* buddy) {
    auto* lb = new QLabel(QString::fromUtf8(text), Frame1);
    lb->setObjectName(name);
    placeTw(lb, l, t, w, h);
    if (buddy != nullptr) {
      lb->setBuddy(buddy);
      buddy->setAccessibleName(lb->text());
    }
    return lb;
  };

  Text2 = field("Text2", 180, 420, 4155, 255);
  Text5 = field("Text5", 180, 960, 4155, 255);
  Text6 = field("Text6", 180, 1500, 4155, 255);
  Text7 = field("Text7", 180, 2040, 4155, 255);
  Text11 = field("Text11", 180, 2400, 435, 270);
  Text11->setText(QStringLiteral("999"));
  Text8 = field("Text8", 180, 3420, 4155, 255);
  Text9 = field("Text9", 180, 3960, 1995, 255);
  Text10 = field("Text10", 2340, 3960, 1995, 255);

  // Each label sits just above its field; the days label to the right of its field.
  Label2[0] = label(QStringLiteral("Label2_0"), "SMPTサーバー", 180, 180, 4155, 210, Text2);
  Label2[1] = label(QStringLiteral("Label2_1"), "返信先アドレス", 180, 720, 4155, 210, Text5);
  Label2[1]->setToolTip(QStringLiteral("自分のアドレスを入れてください"));
  Label3 = label(QStringLiteral("Label3"), "特定メールアドレス（色変更）", 180, 1260, 4155, 210, Text6);
  Label4 = label(QStringLiteral("Label4"), "ダミーメールアドレス", 180, 1800, 4155, 210, Text7);
  Label5 = label(QStringLiteral("Label5"), "日経過したログは削除する", 675, 2430, 3660, 210, Text11);
  Label2[2] = label(QStringLiteral("Label2_2"),
                    "「最初に受信処理を行う」をする場合のみ\n 下記を入力して下さい", 180, 2760,
                    4155, 390, nullptr);
  Label2[3] = label(QStringLiteral("Label2_3"), "POPサーバー", 180, 3180, 4155, 210, Text8);
  Label2[4] = label(QStringLiteral("Label2_4"), "ユーザー名", 180, 3720, 1995, 210, Text9);
  Label2[5] = label(QStringLiteral("Label2_5"), "パスワード", 2340, 3720, 1995, 210, Text10);

  setTextColour(Text6, QPalette::Text, QColor(255, 0, 0));
  setTextColour(Label2[2], QPalette::WindowText, QColor(255, 0, 0));
  setTextColour(Text7, QPalette::Text,
                QApplication::palette("QMenu").color(QPalette::Active, QPalette::WindowText));

  setTabOrder(Text2, Text5);
  setTabOrder(Text5, Text6);
  setTabOrder(Text6, Text7);
  setTabOrder(Text7, Text8);
  setTabOrder(Text8, Text9);
  setTabOrder(Text9, Text10);
  setTabOrder(Text10, Text11);
}

void Form1::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("PopSetup"));
  auto name = [](QObject* o, const QString& n) { o->setObjectName(n); };

  PopSetup[0] = bar->addAction(QStringLiteral("設定"));

  // The two history menus, by address and by name: ten entries each, filled at start-up.
  auto historyMenu = [&](const QString& menuName, std::array<QAction*, 10>& entries,
                         void (Form1::*click)(int)) {
    QMenu* menu = bar->addMenu(QStringLiteral("履歴"));
    name(menu, menuName + QStringLiteral("Menu"));
    for (int i = 0; i < 10; ++i) {
      entries[i] = menu->addAction(QString());
      name(entries[i], menuName + QStringLiteral("_%1").arg(i));
      connect(entries[i], &QAction::triggered, this, [this, click, i] { (this->*click)(i); });
    }
    return menu->menuAction();
  };
  PopSetup[1] = historyMenu(QStringLiteral("Slog"), Slog, &Form1::Slog_Click);
  PopSetup[2] = historyMenu(QStringLiteral("Slog2"), Slog2, &Form1::Slog2_Click);

  QMenu* options = bar->addMenu(QStringLiteral("環境"));
  name(options, QStringLiteral("SupMenu"));
  PopSetup[3] = options->menuAction();
  Sup[0] = options->addAction(QStringLiteral("送信内容クリア"));
  Sup[1] = options->addAction(QStringLiteral("添付ファイル"));
  Sup[2] = options->addSeparator();
  Sup[3] = options->addAction(QStringLiteral("送信後終了"));
  QMenu* replyMenu = options->addMenu(QStringLiteral("返信先に送信する"));
  name(replyMenu, QStringLiteral("Sup2Menu"));
  Sup[4] = replyMenu->menuAction();
  Sup[5] = options->addAction(QStringLiteral("起動時特定アドレス"));
  Sup[6] = options->addAction(QStringLiteral("履歴を保存する"));
  Sup[7] = options->addAction(QStringLiteral("件名を日付にする"));
  Sup[8] = options->addAction(QStringLiteral("履歴を名称で表示する"));
  Sup[9] = options->addAction(QStringLiteral("最初に受信処理を行う"));
  for (int i : {3, 5, 6, 7, 8, 9}) Sup[i]->setCheckable(true);
  Sup[3]->setChecked(true);
  Sup[8]->setChecked(true);
  for (int i = 0; i < 10; ++i) {
    name(Sup[i], QStringLiteral("Sup_%1").arg(i));
    if (i == 2 || i == 4) continue;
    connect(Sup[i], &QAction::triggered, this, [this, i] {
      // Qt has already flipped a check mark; the click handler does the flipping itself.
      if (Sup[i]->isCheckable()) Sup[i]->setChecked(!Sup[i]->isChecked());
      Sup_Click(i);
    });
  }

  const char* const replyModes[4] = {"送らない", "コピーを送る", "ダミーに送る", "別々に送る"};
  for (int i = 0; i < 4; ++i) {
    Sup2[i] = replyMenu->addAction(QString::fromUtf8(replyModes[i]));
    name(Sup2[i], QStringLiteral("Sup2_%1").arg(i));
    Sup2[i]->setCheckable(true);
    connect(Sup2[i], &QAction::triggered, this, [this, i] { Sup2_Click(i); });
  }

  PopSetup[4] = bar->addAction(QStringLiteral("び"));
  PopSetup[5] = bar->addAction(QStringLiteral("あ"));
  PopSetup[6] = bar->addAction(QStringLiteral("あ2"));
  PopSetup[1]->setVisible(false);
  PopSetup[5]->setVisible(false);
  for (int i = 0; i < 7; ++i) name(PopSetup[i], QStringLiteral("PopSetup_%1").arg(i));
  for (int i : {0, 4, 6})
    connect(PopSetup[i], &QAction::triggered, this, [this, i] { PopSetup_Click(i); });
}

// --- Start-up --------------------------------------------------------------------------

void Form1::Form_Load() {
  // Step 1, the single instance, is settled before the window is made (main.cpp).

  // 2. The development folder.
  if (fileExists(folder_ / "pigeon2.vbp")) {
    Text3->setText(QStringLiteral("×"));
    Command4->setVisible(true);
  }

  // 3. APas is the program folder (set when the window was made).

  // 4. The settings panel covers the compose panel.
  placeTw(Frame1, 60, 60, 4515, 4395);

  // 5. Daily backups of the data files.
  makeDailyBackups();

  // 6. Settings.
  if (auto lines = readDataFile(folder_ / "PP1.dat")) {
    Settings restored = settings();
    readSettingsFile(*lines, restored);
    applySettings(restored);
    if (Sup[7]->isChecked()) Text3->setText(q(formatMonthDayTime(services_.clock.now())));
  }

  // 7. Recipient history.
  if (auto lines = readDataFile(folder_ / "PP2.dat")) {
    history_.load(*lines);
    Text1->setText(q(history_.slot(0)));
    showHistoryMenus();
  }

  // 8. Start-up recipient.
  if (Sup[5]->isChecked()) Text1->setText(Text6->text());

  // 9. File chooser.
  fileChooser_.initialPath = (folder_ / "*.*").string();
  fileChooser_.filter = "すべてのファイル|*.*|";
  fileChooser_.cancelIsError = true;
  fileChooser_.hideReadOnly = true;

  // 10. First use: no SMTP server yet.
  if (Text2->text().isEmpty()) SetPop();

  // 11. Address-book lines.
  if (auto lines = readDataFile(folder_ / "PPad.dat")) {
    for (const auto& line : *lines) mAdrs->addItem(q(line));
  }

  // 12. Log retention and ageing.
  if (auto lines = readDataFile(folder_ / "PP4.dat")) {
    Text11->setText(q(retentionFromFile(*lines)));
    ageLogs(Text11->text().toInt());
  }

  // 13. History update.
  Rireki();
  RirekiHyo();
}

void Form1::makeDailyBackups() {
  // The daily backup copies of PP1.dat, PP2.dat, PP3.dat, PP4.dat and PPad.dat, in this
  // order, go here (each skipped when its file is missing).
}

void Form1::ageLogs(int days) {
  // The deletion of message logs older than `days` from the folder "log" goes here.
  (void)days;
}

void Form1::applySettings(const Settings& st) {
  Text2->setText(q(st.smtpServer));
  Text5->setText(q(st.replyTo));
  Text6->setText(q(st.specificAddress));
  Text7->setText(q(st.dummyAddress));
  Text8->setText(q(st.popServer));
  Text9->setText(q(st.popUser));
  Text10->setText(q(st.popPassword));
  Text11->setText(q(st.retentionDays));
  Sup[3]->setChecked(st.quitAfterSend);
  Sup[5]->setChecked(st.startupAddress);
  Sup[6]->setChecked(st.saveLog);
  Sup[7]->setChecked(st.subjectIsDate);
  Sup[8]->setChecked(st.historyByName);
  Sup[9]->setChecked(st.receiveFirst);
  if (st.replyMode >= 0 && st.replyMode < 4) Sup2_Click(st.replyMode);
  setWindowHeight(st.height);
  setWindowWidth(st.width);
}

Settings Form1::settings() const {
  Settings st;
  st.smtpServer = s(Text2->text());
  st.replyTo = s(Text5->text());
  st.specificAddress = s(Text6->text());
  st.dummyAddress = s(Text7->text());
  st.popServer = s(Text8->text());
  st.popUser = s(Text9->text());
  st.popPassword = s(Text10->text());
  st.retentionDays = s(Text11->text());
  st.quitAfterSend = Sup[3]->isChecked();
  st.startupAddress = Sup[5]->isChecked();
  st.saveLog = Sup[6]->isChecked();
  st.subjectIsDate = Sup[7]->isChecked();
  st.historyByName = Sup[8]->isChecked();
  st.receiveFirst = Sup[9]->isChecked();
  st.replyMode = NoReplyMode;
  for (int i = 0; i < 4; ++i)
    if (Sup2[i]->isChecked()) st.replyMode = i;
  st.height = height_;
  st.width = width_;
  return st;
}

// --- Settings files and the settings panel ----------------------------------------------

void Form1::reportWriteFailure(const std::string& what, const std::string& error) {
  services_.dialogs.message(what + "を保存できませんでした。\n" + error);
}

void Form1::SavePopDat() {
  std::string error =
      writeTextLines(folder_ / "PP1.dat", settingsFileLines(settings()), FileAccess::Private);
  if (!error.empty()) reportWriteFailure("設定 (PP1.dat) ", error);
  error = writeTextLines(folder_ / "PP4.dat", {s(Text11->text())});
  if (!error.empty()) reportWriteFailure("ログの保存日数 (PP4.dat) ", error);
}

bool Form1::settingsPanelShown() const { return !Frame1->isHidden(); }

void Form1::SetPop() {
  Frame1->show();
  Frame2->hide();
  savedHeight_ = height_;
  savedWidth_ = width_;
  setWindowHeight(kSettingsPanelHeight);
  setWindowWidth(kSettingsPanelWidth);
}

void Form1::PutPop() {
  Frame1->hide();
  Frame2->show();
  setWindowHeight(savedHeight_);
  setWindowWidth(savedWidth_);
  SavePopDat();
}

// --- Menus -------------------------------------------------------------------------------

void Form1::PopSetup_Click(int index) {
  switch (index) {
    case 0:
      if (Frame1->isHidden())
        SetPop();
      else
        PutPop();
      break;
    case 4:
      // The log viewer opens here.
      break;
    case 6:
      // The address book opens here, beside this window.
      break;
    default:
      break;
  }
}

void Form1::Sup_Click(int index) {
  switch (index) {
    case 0:  // "送信内容クリア"
      Text1->clear();
      if (Sup[7]->isChecked())
        Text3->setText(q(formatMonthDayTime(services_.clock.now())));
      else
        Text3->clear();
      Text4->clear();
      break;
    case 1:  // "添付ファイル": the attachment chooser runs here.
      break;
    case 3:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      Sup[index]->setChecked(!Sup[index]->isChecked());
      break;
    default:
      break;
  }
  RirekiHyo();
}

void Form1::Sup2_Click(int index) {
  for (QAction* item : Sup2) item->setChecked(false);
  if (index >= 0 && index < 4) Sup2[index]->setChecked(true);
}

// --- Recipient history -------------------------------------------------------------------

std::vector<std::string> Form1::addressBookLines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(mAdrs->count()));
  for (int i = 0; i < mAdrs->count(); ++i) lines.push_back(s(mAdrs->item(i)->text()));
  return lines;
}

void Form1::showHistoryMenus() {
  const auto names = history_.namesFrom(addressBookLines());
  for (int i = 0; i < RecipientHistory::kSlots; ++i) {
    Slog[i]->setText(menuText(history_.slot(i)));
    Slog[i]->setVisible(history_.shownByAddress(i));
    Slog2[i]->setText(menuText(names[static_cast<std::size_t>(i)]));
  }
}

void Form1::Rireki() {
  history_.promote(s(Text1->text()));
  const std::string error = history_.save(folder_ / "PP2.dat");
  showHistoryMenus();
  if (!error.empty()) reportWriteFailure("宛先の履歴 (PP2.dat) ", error);
}

void Form1::RirekiHyo() {
  const bool byName = Sup[8]->isChecked();
  PopSetup[1]->setVisible(!byName);
  PopSetup[2]->setVisible(byName);
}

void Form1::Slog_Click(int index) {
  if (index < 0 || index >= RecipientHistory::kSlots) return;
  Text1->setText(q(history_.slot(index)));
  Rireki();
  Check1->setChecked(Text5->text().contains(Text1->text()));
}

void Form1::Slog2_Click(int index) { Slog_Click(index); }

// --- Sending -------------------------------------------------------------------------------

void Form1::Command1_Click() { Parupo(); }

void Form1::Parupo() {
  ++sending_;
  sendOperation_->Parupo(*this);
  --sending_;
  if (sending_ == 0 && closeAfterSend_) {
    closeAfterSend_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

std::string Form1::recipientText() const { return s(Text1->text()); }
std::string Form1::subjectText() const { return s(Text3->text()); }
void Form1::setSubjectText(const std::string& text) { Text3->setText(q(text)); }

std::string Form1::bodyText() const {
  return s(Text4->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void Form1::setBodyText(const std::string& text) {
  QString body = q(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  Text4->setPlainText(body);
}

bool Form1::noCopyChecked() const { return Check1->isChecked(); }

void Form1::setCaption(const std::string& caption) { setWindowTitle(q(caption)); }

void Form1::setSendEnabled(bool enabled) { Command1->setEnabled(enabled); }

void Form1::endProgram() {
  if (services_.endProgram) services_.endProgram();
}

// --- Closing -------------------------------------------------------------------------------

void Form1::closeEvent(QCloseEvent* event) {
  if (sending_ > 0 || mail_.busy()) {
    // A send is under way: the window closes when it has returned.
    closeAfterSend_ = true;
    event->ignore();
    return;
  }
  SavePopDat();
  event->accept();
  endProgram();
}

// --- Size ------------------------------------------------------------------------------------

double Form1::dpi() const { return logicalDpiY() > 0 ? logicalDpiY() : 96.0; }

int Form1::px(double twips) const { return twipsToPixels(twips, dpi()); }

void Form1::placeTw(QWidget* w, double left, double top, double width, double height) const {
  w->setGeometry(px(left), px(top), px(width), px(height));
}

void Form1::setWidthTw(QWidget* w, double width) const { w->resize(px(width), w->height()); }
void Form1::setHeightTw(QWidget* w, double height) const { w->resize(w->width(), px(height)); }

void Form1::applyWindowSize() {
  const QSize inner(std::max(1, px(width_) - frameExtra_.width()),
                    std::max(1, px(height_) - frameExtra_.height()));
  requestedSizes_.push_back(inner);
  if (requestedSizes_.size() > 4) requestedSizes_.erase(requestedSizes_.begin());
  resize(inner);
}

void Form1::setWindowHeight(double twips) {
  if (!usableWindowSize(twips) || isMinimized()) return;
  height_ = twips;
  applyWindowSize();
  Form_Resize();
}

void Form1::setWindowWidth(double twips) {
  if (!usableWindowSize(twips) || isMinimized()) return;
  width_ = twips;
  applyWindowSize();
  Form_Resize();
}

void Form1::setWindowSizeTwips(double height, double width) {
  setWindowHeight(height);
  setWindowWidth(width);
}

void Form1::Form_Resize() {
  if (isMinimized()) return;
  const ComposeLayout fit = composeLayout(height_, width_, !Frame2->isHidden());
  if (fit.height != height_ || fit.width != width_) {
    height_ = fit.height;
    width_ = fit.width;
    applyWindowSize();
  }
  if (fit.frameHeight) setHeightTw(Frame2, *fit.frameHeight);
  if (fit.bodyHeight) setHeightTw(Text4, *fit.bodyHeight);
  if (const auto& w = fit.widths) {
    setWidthTw(Frame2, w->frame);
    setWidthTw(Text1, w->recipient);
    setWidthTw(Text3, w->subject);
    setWidthTw(Text4, w->body);
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  for (const QSize& mine : requestedSizes_)
    if (mine == event->size()) return;
  if (isMinimized()) return;
  // Resized from outside (the user or the window manager): the outer size follows.
  height_ = pixelsToTwips(event->size().height() + frameExtra_.height(), dpi());
  width_ = pixelsToTwips(event->size().width() + frameExtra_.width(), dpi());
  requestedSizes_.assign(1, event->size());
  Form_Resize();
}

void Form1::noticeFrameMargins() {
  if (!isVisible() || isMinimized()) return;
  const QSize extra = frameGeometry().size() - geometry().size();
  if (extra.width() < 0 || extra.height() < 0 || extra == frameExtra_) return;
  // The window manager has put its frame around the window: keep the outer size.
  frameExtra_ = extra;
  applyWindowSize();
}

bool Form1::event(QEvent* e) {
  const bool result = QMainWindow::event(e);
  switch (e->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
      noticeFrameMargins();
      break;
    default:
      break;
  }
  return result;
}

}  // namespace parupo
