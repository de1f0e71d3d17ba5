// The aids around the compose boxes, as the main window's handlers: choosing and dropping
// the attachment, the quick "帰" message, the clickable labels, the red recipient, Enter
// in the subject, the length count and the decoration of the body. Their rules are in
// send/compose_rules.h; this is the window side.
#pragma once

#include <QObject>
#include <string>

#include "core/services.h"

class QDropEvent;
class QLineEdit;

namespace parupo {

class ComposePanel;
class MainMenus;
class SendOperation;
class SendWindow;

class ComposeHandlers final : public QObject {
 public:
  // The attachment chosen is the send's (TnpPath), kept by `send`; `specificAddress` is
  // Text6 of the settings panel.
  ComposeHandlers(ComposePanel& panel, MainMenus& menus, SendWindow& window, const QLineEdit& specificAddress,
                  const Services& services, SendOperation& send);

  // Shows the open-file dialog (first in the home folder, then where the last choice
  // was); a chosen file is attached (attachFile). A cancel changes nothing.
  void TnpFile();
  // No attachment any more: the button and its tooltip are as at start.
  void dropAttachment();
  void Command4_Click();
  void Label1_Click(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The file becomes the attachment, its size the caption ("N KB") and its path the
  // button's tooltip; the next dialog starts there. A file whose size cannot be read
  // changes nothing and says nothing. The clip button's choice and a drop come here.
  void attachFile(const std::string& path);
  // A drag of local files over the window is taken whatever is under it; dropped, one
  // file is attached, several or a folder are refused with a word. False for anything
  // else, which goes on as usual.
  bool fileDrag(QDropEvent* event);
  void Text1_Change();
  void Text4_Change();
  // True when the key decorated the body and goes no further.
  bool Text4_KeyDown(int key, Qt::KeyboardModifiers modifiers);

  ComposePanel& panel_;
  MainMenus& menus_;
  SendWindow& window_;
  const QLineEdit& specificAddress_;
  Services services_;
  SendOperation& send_;
  std::string dialogPath_;            // the next dialog starts from the last choice
  std::string sizeCaption_;           // the caption the last choice set
  QObject* doubleClicked_ = nullptr;  // the label whose double click's release comes next
};

}  // namespace parupo
