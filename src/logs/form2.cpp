#include "logs/form2.h"

#include <QAction>
#include <QCloseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <algorithm>
#include <system_error>

#include "platform/dialogs.h"
#include "platform/key_actions.h"
#include "platform/qt_text.h"
#include "platform/whole_frame.h"

namespace parupo {

namespace {

// Outer size at opening: the design's client area (9510 by 2895) with the frame and
// caption the resize rules were made for.
constexpr double kHeight = 3315;
constexpr double kWidth = 9630;
constexpr double kClientHeight = 2895;
constexpr double kClientWidth = 9510;
constexpr double kMinHeight = 1335;
constexpr double kMinWidth = 2925;

// A recipient as a menu shows it: "&" as itself, and the TAB between the addresses of a
// log sent to several (which a menu would take for a shortcut column) as a blank.
QString menuText(const std::string& recipient) {
  return q(recipient).replace('&', QStringLiteral("&&")).replace('\t', ' ');
}

}  // namespace

Form2::Form2(const std::filesystem::path& programFolder, QWidget* mainWindow,
             std::function<void(bool visible)> setMainWindowVisible)
    : QWidget(nullptr, Qt::Window),
      logs_(programFolder / "log"),
      size_(this, kHeight, kWidth),
      setMainWindowVisible_(std::move(setMainWindowVisible)) {
  setObjectName(QStringLiteral("Form2"));
  setAttribute(Qt::WA_DeleteOnClose);  // its controls and captions start afresh at the next opening
  setWindowTitle(QStringLiteral("!ぱるぽ びゅわー"));

  size_.setDesignFrame(kHeight - kClientHeight, kWidth - kClientWidth);
  buildControls();
  if (mainWindow) followMainWindow(mainWindow);

  fillList(logs_.newestFirst());
  setWindowSizeTwips(kHeight, kWidth);
  if (mainWindow) {
    // Qt cannot leave only the left edge to the window manager: the viewer takes the
    // main window's place, which it hides, as far as the screen lets it.
    const QRect main = mainWindow->frameGeometry();
    const ScreenRect frame = size_.frame();
    size_.placeFrame(
        keepOnScreen({main.x(), main.y(), frame.width, frame.height}, TwipsWindow::availableArea(mainWindow)));
    Form_Resize();
  }
}

void Form2::buildControls() {
  List1 = new WholeFrame<QListWidget>(this);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setAccessibleName(QString::fromUtf8("送信記録の一覧"));
  size_.place(List1, 60, 60, 2175, 2760);
  // Every name takes one line of the same font: the list need not measure each of
  // thousands of entries before it shows.
  List1->setUniformItemSizes(true);
  // A right click pops up the recipient menu and leaves the selection alone.
  List1->viewport()->installEventFilter(this);
  // The Menu key and Shift+F10 open the same menu, at the current row.
  onMenuKey(List1, [this] {
    const QRect row = List1->visualItemRect(List1->currentItem());
    const QPoint at = row.isValid() ? QPoint(row.left() + 8, row.center().y()) : QPoint();
    showRecipientMenu(List1->viewport()->mapToGlobal(at));
  });
  connect(List1, &QListWidget::itemSelectionChanged, this, &Form2::List1_Click);

  Text1 = new WholeFrame<QPlainTextEdit>(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setAccessibleName(QString::fromUtf8("送信記録の内容"));
  size_.place(Text1, 2280, 60, 7155, 2775);
  // The user may mark up or cut the text while reading; nothing of it is ever saved.
  Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  mn0 = new QMenu(QStringLiteral("menu"), this);
  mn0->setObjectName(QStringLiteral("mn0"));
  for (int i = 0; i < 10; ++i) {
    mn1[i] = mn0->addAction(QString());
    mn1[i]->setObjectName(QStringLiteral("mn1_%1").arg(i));
    connect(mn1[i], &QAction::triggered, this, [this, i] { mn1_Click(i); });
  }
}

void Form2::followMainWindow(QWidget* mainWindow) {
  setWindowIcon(mainWindow->windowIcon());
  // The program is ending: the viewer goes with the main window and calls nothing.
  connect(mainWindow, &QObject::destroyed, this, [this] {
    setMainWindowVisible_ = nullptr;
    delete this;
  });
}

void Form2::showViewer() {
  show();
  if (setMainWindowVisible_) setMainWindowVisible_(false);
}

void Form2::fillList(const std::vector<std::string>& names) {
  QStringList items;
  items.reserve(static_cast<qsizetype>(names.size()));
  for (const auto& name : names) items.append(q(name));
  List1->clear();
  List1->addItems(items);
}

void Form2::List1_Click() {
  const auto selected = List1->selectedItems();
  if (selected.isEmpty()) return;
  const std::string name = selected.front()->text().toStdString();
  // The viewer's lines end in CR LF; the text box takes line feeds.
  Text1->setPlainText(q(logText(logs_.folder() / name)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form2::showRecipientMenu(const QPoint& globalPos) {
  const auto& recipients = logs_.recipientMenu();
  for (std::size_t i = 0; i < mn1.size(); ++i) {
    const std::string recipient = i < recipients.size() ? recipients[i] : std::string();
    mn1[i]->setText(menuText(recipient));
    mn1[i]->setData(q(recipient));
    // The first entry stays, empty when no log has a recipient.
    mn1[i]->setVisible(i == 0 || !recipient.empty());
  }
  mn0->popup(globalPos);
}

void Form2::mn1_Click(int index) {
  fillList(logs_.newestFirstTo(mn1[static_cast<std::size_t>(index)]->data().toString().toStdString()));
}

void Form2::setWindowSizeTwips(double height, double width) {
  size_.setHeight(height);
  size_.setWidth(width);
  Form_Resize();
}

void Form2::Form_Resize() {
  if (isMinimized()) return;
  if (size_.height() < kMinHeight) size_.setHeight(kMinHeight);
  if (size_.width() < kMinWidth) size_.setWidth(kMinWidth);
  // The controls keep the design's margins to the client area, whatever the real frame.
  const double h = size_.ruleHeight();
  const double w = size_.ruleWidth();
  size_.setWidth(Text1, std::max(0.0, w - 2475));
  size_.setHeight(Text1, std::max(0.0, h - 540));
  size_.setHeight(List1, std::max(0.0, h - 510));
}

bool Form2::eventFilter(QObject* watched, QEvent* e) {
  if (watched == List1->viewport() && e->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(e);
    if (mouse->button() == Qt::RightButton) {
      showRecipientMenu(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void Form2::closeEvent(QCloseEvent* e) {
  e->accept();
  if (setMainWindowVisible_) setMainWindowVisible_(true);
}

Form2* openLogViewer(Dialogs& dialogs, const std::filesystem::path& programFolder, QWidget* mainWindow,
                     std::function<void(bool visible)> setMainWindowVisible) {
  std::error_code ec;
  if (!std::filesystem::is_directory(programFolder / "log", ec)) {
    dialogs.message("ログがありません");
    return nullptr;
  }
  auto* viewer = new Form2(programFolder, mainWindow, std::move(setMainWindowVisible));
  viewer->showViewer();
  return viewer;
}

}  // namespace parupo
