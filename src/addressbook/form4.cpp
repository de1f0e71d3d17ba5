#include "addressbook/form4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

#include "addressbook/book_pictures.h"
#include "addressbook/book_tree.h"
#include "platform/dialogs.h"
#include "platform/key_actions.h"
#include "platform/qt_text.h"
#include "platform/twips.h"
#include "platform/whole_frame.h"
#include "send/send_window.h"

namespace parupo {

namespace {

const char* const kCaption = "アドレス帳";
const char* const kSavingCaption = "データの保存中";
// The window's design size in twips; the main window gives it its height when it opens.
constexpr double kDesignHeight = 5125;
constexpr double kDesignWidth = 4860;

// A record as the list shows it: its fields two blanks apart, where a TAB would jump to
// the next wide tab stop and push the number out of sight.
class RecordText final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QString displayText(const QVariant& value, const QLocale&) const override {
    return value.toString().replace(QLatin1Char('\t'), QStringLiteral("  "));
  }
};

// A name that a click on a group readied (all of it selected, the focus left in the
// tree) stays selected when a click brings the focus into its box, so that typing
// replaces it, as it does after Tab. A click in the box that has the focus already places
// the caret as usual.
class KeepReadiedName final : public QObject {
 public:
  explicit KeepReadiedName(QLineEdit* box) : QObject(box), box_(box) { box->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    // The focus comes before the press that brought it.
    if (e->type() == QEvent::FocusIn) {
      readied_ = static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason && !box_->text().isEmpty() &&
                 box_->selectedText() == box_->text();
    } else if (e->type() == QEvent::FocusOut) {
      readied_ = false;
    } else if (e->type() == QEvent::MouseButtonPress && std::exchange(readied_, false)) {
      return static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
    }
    return false;
  }

 private:
  QLineEdit* box_;
  bool readied_ = false;
};

}  // namespace

Form4::Form4(Dialogs& dialogs, std::filesystem::path programFolder, SendWindow& sendWindow, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window),
      dialogs_(dialogs.over(*this)),
      folder_(std::move(programFolder)),
      sendWindow_(sendWindow),
      mainWindow_(mainWindow),
      twips_(this, kDesignHeight, kDesignWidth) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QString::fromUtf8(kCaption));
  popup = [](QMenu* m, const QPoint& at) { m->exec(at); };
  buildControls();
  buildMenus();
  ChangeRenso(false);

  if (book_.AdrsLoad(folder_) == AddressBook::Load::Unreadable) {
    // Writing over a book that could not be read would lose it.
    saveAllowed_ = false;
    showMessage("PPad.dat を読み込めませんでした。このアドレス帳への変更は保存されません。");
  }
  fillTree();
  curNode_ = book_.firstNode();
  // Caption and borders as the size rules count them.
  twips_.setDesignFrame(420, 120);
  setWindowSizeTwips(kDesignHeight, kDesignWidth);
}

Form4::~Form4() = default;

void Form4::buildTree() {
  TreeView1 = new BookTree(this);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setAccessibleName(QString::fromUtf8(kCaption));
  twips_.place(TreeView1, 60, 60, 4575, 3595);
  connect(TreeView1, &BookTree::pressed, this, &Form4::TreeView1_MouseDown);
  connect(TreeView1, &BookTree::dragRequested, this, &Form4::startDrag);
  connect(TreeView1, &BookTree::dropped, this, &Form4::TreeView1_DragDrop);
  connect(TreeView1, &BookTree::keyMoved, this, &Form4::TreeView1_KeyMoved);
  onMenuKey(TreeView1, [this] { TreeView1_MenuKey(); });
  connect(TreeView1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    book_.expanded(nodeOf(item));
    showPicture(nodeOf(item));
  });
  connect(TreeView1, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    book_.collapsed(nodeOf(item));
    showPicture(nodeOf(item));
  });
}

// The tree, then the consecutive send's list, the three boxes with their labels and "登録".
void Form4::buildControls() {
  buildTree();
  List1 = new WholeFrame<QListWidget>(this);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setAccessibleName(QStringLiteral("連続送信"));
  List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  List1->setToolTip(QString::fromUtf8("送る項目を選び (Ctrl・Shift+クリックで複数)、右クリックで送信"));
  // A record shows whole: a long one scrolls sideways rather than losing its number.
  List1->setTextElideMode(Qt::ElideNone);
  List1->setItemDelegate(new RecordText(List1));
  List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  twips_.place(List1, 60, 60, 4575, 3595);
  List1->viewport()->installEventFilter(this);
  onMenuKey(List1, [this] { List1_MenuKey(); });

  const char* const captions[] = {"名前", "アドレス", "携帯番号"};
  std::array<QLabel*, 3> labels{};
  std::array<QLineEdit*, 3> boxes{};
  for (int i = 0; i < 3; ++i) {
    labels[i] = new QLabel(QString::fromUtf8(captions[i]), this);
    labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    boxes[i] = new QLineEdit(this);
    boxes[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
    boxes[i]->setAccessibleName(labels[i]->text());
    labels[i]->setBuddy(boxes[i]);
    twips_.place(labels[i], 60, 3720 + 300 * i, 780, 255);
    twips_.place(boxes[i], 900, 3720 + 300 * i, 3135, 270);
  }
  Label1 = labels[0], Label2 = labels[1], Label3 = labels[2];
  Text1 = boxes[0], Text2 = boxes[1], Text3 = boxes[2];
  new KeepReadiedName(Text1);

  Command1 = new QPushButton(QString::fromUtf8("登録"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setToolTip(QString::fromUtf8("右クリック : 新規登録"));
  Command1->setAccessibleName(Command1->text());
  twips_.place(Command1, 4200, 3720, 495, 870);
  Command1->installEventFilter(this);
  connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
  // Enter is its left click, Shift+Enter its right click.
  clickOnEnter(Command1);
  onKey(Command1, Qt::Key_Return, Qt::ShiftModifier, [this] { registerEntry(); });
}

void Form4::buildMenus() {
  auto name = [](QObject* o, const char* array, int i) { o->setObjectName(QStringLiteral("%1_%2").arg(array).arg(i)); };
  menu = new QMenu(QStringLiteral("menu"), this);
  menu->setObjectName(QStringLiteral("menu"));
  mn01[0] = menu->addAction(QString::fromUtf8("グループ作成"));
  auto* deleteMenu = menu->addMenu(QString::fromUtf8("削除"));
  mn01[1] = deleteMenu->menuAction();
  mn011[0] = deleteMenu->addAction(QString::fromUtf8("削除"));
  mn01[2] = menu->addSeparator();
  mn01[3] = menu->addAction(QString::fromUtf8("連続送信"));
  for (int i = 0; i < 4; ++i) name(mn01[i], "mn01", i);
  name(mn011[0], "mn011", 0);
  connect(mn01[0], &QAction::triggered, this, &Form4::createGroup);
  connect(mn011[0], &QAction::triggered, this, [this] { KiLLDat(curNode_); });
  connect(mn01[3], &QAction::triggered, this, [this] { ChangeRenso(true); });

  menu2 = new QMenu(QStringLiteral("menu2"), this);
  menu2->setObjectName(QStringLiteral("menu2"));
  auto* sendMenu = menu2->addMenu(QString::fromUtf8("送信"));
  mn02[0] = sendMenu->menuAction();
  mn02[1] = menu2->addSeparator();
  mn02[2] = menu2->addAction(QString::fromUtf8("戻る"));
  for (int i = 0; i < 3; ++i) name(mn02[i], "mn02", i);
  connect(mn02[2], &QAction::triggered, this, [this] { ChangeRenso(false); });
  for (int i = 0; i < 7; ++i) {
    if (i == 5) {
      mn03[i] = sendMenu->addSeparator();
    } else {
      mn03[i] = sendMenu->addAction(i == 6 ? QString::fromUtf8("一括") : QString::number(i + 1));
      const int n = i == 6 ? 9999 : i;
      connect(mn03[i], &QAction::triggered, this, [this, n] { consecutiveSend(n); });
    }
    name(mn03[i], "mn03", i);
  }
}

// --- The tree as the model has it -------------------------------------------------------

void Form4::fillTree() {
  TreeView1->clear();
  items_.clear();
  for (NodeId g : book_.groups()) {
    addItem(g);
    for (NodeId e : book_.node(g)->children) addItem(e);
  }
  for (const std::string& record : book_.records()) List1->addItem(q(record));
  TreeView1->setRootIsDecorated(book_.lineStyle() == 1);
}

QTreeWidgetItem* Form4::addItem(NodeId id) {
  const BookNode* n = book_.node(id);
  QTreeWidgetItem* item = n->isGroup() ? new QTreeWidgetItem(TreeView1) : new QTreeWidgetItem(items_.at(n->parent));
  item->setData(0, Qt::UserRole, id);
  item->setText(0, q(n->text));
  item->setIcon(0, bookPicture(n->picture));
  items_[id] = item;
  return item;
}

void Form4::showPicture(NodeId id) {
  if (const BookNode* n = book_.node(id)) items_.at(id)->setIcon(0, bookPicture(n->picture));
}

QTreeWidgetItem* Form4::itemOf(NodeId id) const {
  const auto it = items_.find(id);
  return it == items_.end() ? nullptr : it->second;
}

NodeId Form4::nodeOf(const QTreeWidgetItem* item) const { return item ? item->data(0, Qt::UserRole).toInt() : kNoNode; }

// --- Modes, layout, placement -----------------------------------------------------------

void Form4::ChangeRenso(bool on) {
  TreeView1->setVisible(!on);
  Label3->setVisible(!on);
  Text3->setVisible(!on);
  Command1->setVisible(!on);
  List1->setVisible(on);
}

void Form4::Form_Resize() {
  // The controls keep the design's margins to the client area, whatever the real frame.
  const double h = twips_.ruleHeight();
  const double w = twips_.ruleWidth();
  // A window smaller than the margins (minimized, or dragged very small) gets empty
  // controls rather than negative sizes.
  auto size = [](double twips) { return std::max(0.0, twips); };
  auto top = [this](QWidget* c, double t) { c->move(c->x(), twips_.px(t)); };
  twips_.setHeight(TreeView1, size(h - 1530));
  const double rows[] = {h - 1405, h - 1105, h - 805};
  QWidget* const rowControls[][2] = {{Label1, Text1}, {Label2, Text2}, {Label3, Text3}};
  for (int i = 0; i < 3; ++i)
    for (QWidget* c : rowControls[i]) top(c, rows[i]);
  top(Command1, rows[0]);
  twips_.setWidth(TreeView1, size(w - 285));
  twips_.setWidth(Text1, size(w - 1725));
  Text2->resize(Text1->width(), Text2->height());
  Text3->resize(Text1->width(), Text3->height());
  Command1->move(twips_.px(w - 660), Command1->y());
  // The record list ends above the name and address rows, which stay in its mode.
  twips_.setHeight(List1, size(h - 1530));
  List1->resize(TreeView1->width(), List1->height());
}

void Form4::setWindowSizeTwips(double height, double width) {
  twips_.setHeight(height);
  twips_.setWidth(width);
  Form_Resize();
}

void Form4::showBesideMainWindow() {
  if (mainWindow_) {
    const QRect main = mainWindow_->frameGeometry();
    setWindowIcon(mainWindow_->windowIcon());
    setWindowSizeTwips(twips_.twips(main.height()), twips_.width());
    const ScreenRect frame = twips_.frame();
    twips_.placeFrame(placeBeside({main.x(), main.y(), main.width(), main.height()}, frame.width, frame.height,
                                  TwipsWindow::availableArea(mainWindow_)));
    Form_Resize();
  }
  show();
}

void Form4::raiseWindow() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

// --- Events -----------------------------------------------------------------------------

bool Form4::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(e);
    if (mouse->button() == Qt::RightButton && watched == Command1) {
      registerEntry();
      return true;
    }
    if (mouse->button() == Qt::RightButton && watched == List1->viewport() && List1->isEnabled()) {
      popup(menu2, mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void Form4::closeEvent(QCloseEvent* e) {
  if (run_.running) {
    // Asks, as Esc does, whether to stop the send; はい stops the message in progress,
    // and the run then ends and closes the window. いいえ carries on with the run.
    if (sendWindow_.askToStop()) run_.closeWhenDone = true;
    e->ignore();
    return;
  }
  save();
  e->accept();
  emit closed();
}

void Form4::saveBeforeProgramEnds() {
  if (run_.running) giveBackOptions(sendWindow_, run_);
  save();
}

void Form4::save() {
  if (!saveAllowed_) return;
  const QString caption = windowTitle();
  setWindowTitle(QString::fromUtf8(kSavingCaption));
  const std::string error = book_.AdrsSave(folder_);
  setWindowTitle(caption);
  if (!error.empty()) showMessage(error);
}

void Form4::showMessage(const std::string& text) { dialogs_->message(text); }

}  // namespace parupo
