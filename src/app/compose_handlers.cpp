#include "app/compose_handlers.h"

#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <system_error>
#include <utility>

#include "app/compose_panel.h"
#include "app/main_menus.h"
#include "platform/key_actions.h"
#include "send/compose_rules.h"
#include "send/parupo.h"
#include "send/send_window.h"

namespace parupo {

namespace {

const char* const kAnyFile = "すべてのファイル|*.*|";
const char* const kOneFileOnly = "添付できるファイルは一つだけです。";

// Shift, Ctrl and Alt all held, in any order; a modifier key counts itself while it
// goes down, so the decoration comes the moment the third of them is pressed. With
// Shift held, the usual Linux keymap turns the Alt key into Meta: Meta counts as Alt.
bool allThreeHeld(int key, Qt::KeyboardModifiers modifiers) {
  if (key == Qt::Key_Shift) modifiers |= Qt::ShiftModifier;
  if (key == Qt::Key_Control) modifiers |= Qt::ControlModifier;
  if (key == Qt::Key_Alt || key == Qt::Key_Meta || modifiers.testFlag(Qt::MetaModifier)) modifiers |= Qt::AltModifier;
  const Qt::KeyboardModifiers three = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  return (modifiers & three) == three;
}

}  // namespace

ComposeHandlers::ComposeHandlers(ComposePanel& panel, MainMenus& menus, SendWindow& window,
                                 const QLineEdit& specificAddress, const Services& services, SendOperation& send)
    : panel_(panel),
      menus_(menus),
      window_(window),
      specificAddress_(specificAddress),
      services_(services),
      send_(send),
      // Never the program's folder, where the settings and the logs lie in plain sight.
      dialogPath_(QDir::homePath().toStdString()) {
  connect(panel_.Command3, &QPushButton::clicked, this, [this] { TnpFile(); });
  connect(panel_.Command3, &QWidget::customContextMenuRequested, this, [this] { dropAttachment(); });
  onKey(panel_.Command3, Qt::Key_Delete, Qt::NoModifier, [this] { dropAttachment(); });
  connect(panel_.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(panel_.Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  // A new specific address recolours the recipient at once, not only at its next edit.
  connect(&specificAddress_, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  // Enter in the subject goes on to the body; it never sends.
  connect(panel_.Text3, &QLineEdit::returnPressed, this, [this] { panel_.Text4->setFocus(Qt::OtherFocusReason); });
  connect(panel_.Text4, &QPlainTextEdit::textChanged, this, [this] { Text4_Change(); });
  for (QLabel* label : panel_.Label1) label->installEventFilter(this);
  panel_.Text4->installEventFilter(this);
  // A file dropped anywhere on the window, a text box included, is attached; a text
  // dropped on a text box goes on into it.
  QWidget* mainWindow = panel_.Frame2->window();
  mainWindow->setAcceptDrops(true);
  mainWindow->installEventFilter(this);
  for (QWidget* box : mainWindow->findChildren<QWidget*>())
    if (box->acceptDrops()) box->installEventFilter(this);
}

bool ComposeHandlers::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)
    return fileDrag(static_cast<QDropEvent*>(event));
  if (watched == panel_.Text4 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // The key that completes Shift+Ctrl+Alt decorates and types nothing itself.
    return Text4_KeyDown(key->key(), key->modifiers());
  }
  // A double click is one click: its second release does nothing. Only the labels' own
  // events count (the window sees their mouse events again as they go up to it).
  const auto label = std::find(panel_.Label1.begin(), panel_.Label1.end(), watched);
  if (label == panel_.Label1.end()) return false;
  if (event->type() == QEvent::MouseButtonDblClick) doubleClicked_ = watched;
  if (event->type() == QEvent::MouseButtonRelease) {
    const bool second = std::exchange(doubleClicked_, nullptr) == watched;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!second && mouse->button() == Qt::LeftButton && (*label)->rect().contains(mouse->position().toPoint()))
      Label1_Click(static_cast<int>(label - panel_.Label1.begin()));
  }
  return false;  // the labels go on as usual
}

void ComposeHandlers::TnpFile() {
  const auto chosen = services_.dialogs.openFile(dialogPath_, kAnyFile);
  if (chosen) attachFile(*chosen);
}

bool ComposeHandlers::fileDrag(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
    return false;  // text, or a page of the web: the box's own business
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (event->type() != QEvent::Drop) return true;
  const std::string first = urls.constFirst().toLocalFile().toStdString();
  // Handled once the drag has ended: the file manager waits for the drop to finish.
  QMetaObject::invokeMethod(
      this,
      [this, first, several = urls.size() > 1] {
        std::error_code ec;
        if (several || std::filesystem::is_directory(first, ec)) return services_.dialogs.message(kOneFileOnly);
        attachFile(first);
      },
      Qt::QueuedConnection);
  return true;
}

void ComposeHandlers::attachFile(const std::string& path) {
  dialogPath_ = path;
  std::error_code ec;
  const std::uintmax_t bytes = std::filesystem::file_size(std::filesystem::path(path), ec);
  if (ec) return;  // gone or not a file: the earlier attachment, if any, stays
  send_.setAttachment(path);
  sizeCaption_ = attachmentCaption(bytes);
  window_.setCaption(sizeCaption_);
  panel_.showAttachment(path);
  menus_.showAttachmentSet(true);
}

void ComposeHandlers::dropAttachment() {
  if (send_.attachment().empty()) return;
  send_.setAttachment("");
  panel_.showAttachment("");
  menus_.showAttachmentSet(false);
  // The size of a file no longer attached would mislead.
  if (panel_.Frame2->window()->windowTitle().toStdString() == sizeCaption_) window_.setCaption(kProgramCaption);
}

void ComposeHandlers::Command4_Click() {
  panel_.setNoCopy(true);
  const QuickMessage message = pickQuickMessage(services_.random);
  panel_.setSubject(message.subject);
  panel_.setBody(message.body);
  panel_.Command1->click();  // the send button's own handler
}

void ComposeHandlers::Label1_Click(int index) {
  if (index == 1) {  // "件名": the date option, and the subject that goes with it
    menus_.toggleSubjectIsDate();
    panel_.setSubject(window_.settings().dateSubject(services_.clock.now()).value_or(""));
  } else if (index == 2) {  // "本文": a date stamp on a line of its own
    panel_.appendBody(bodyStamp(services_.clock.now()));
  }
}

void ComposeHandlers::Text1_Change() { panel_.markRecipient(panel_.Text1->text() == specificAddress_.text()); }

void ComposeHandlers::Text4_Change() {
  const std::size_t length = composeLength(panel_.recipient(), panel_.subject(), panel_.body());
  panel_.Text4->setToolTip(QString::number(length));
}

bool ComposeHandlers::Text4_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  // Any key creates naisho.txt when it is missing; only the decorating keys read it.
  if (!allThreeHeld(key, modifiers)) {
    ensureDecorationFile(services_.programFolder);
    return false;
  }
  const std::string body = panel_.body();
  const std::string decorated = decorate(body, readDecorationSet(services_.programFolder), services_.random);
  if (decorated != body) panel_.replaceBody(decorated);
  return true;
}

}  // namespace parupo
