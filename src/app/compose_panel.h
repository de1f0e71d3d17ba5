// The compose panel Frame2 of the main window: recipient, subject and body, the send and
// attachment buttons, Check1 ("no copy to the reply-to address") and the hidden list of
// address-book lines. The controls keep the names the rest of the program knows them by.
#pragma once

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace parupo {

struct ComposeLayout;
class TwipsWindow;

class ComposePanel {
 public:
  ComposePanel(QWidget* client, const TwipsWindow& twips);

  QGroupBox* Frame2 = nullptr;
  std::array<QLabel*, 3> Label1{};  // 宛先, 件名, 本文
  QCheckBox* Check1 = nullptr;
  QLineEdit* Text1 = nullptr;       // recipient
  QLineEdit* Text3 = nullptr;       // subject
  QPlainTextEdit* Text4 = nullptr;  // body
  QPushButton* Command3 = nullptr;  // attachment
  QPushButton* Command1 = nullptr;  // send
  QPushButton* Command4 = nullptr;  // "帰", only in the development folder

  std::string recipient() const;
  void setRecipient(const std::string& text);
  std::string subject() const;
  void setSubject(const std::string& text);
  std::string body() const;               // lines separated by CR LF
  void setBody(const std::string& text);  // any line ends
  bool noCopy() const;
  void setNoCopy(bool checked);

  // The body as the user edits it: one step to undo, the cursor kept where it can be.
  void appendBody(const std::string& text);   // any line ends
  void replaceBody(const std::string& text);  // any line ends
  // The attachment button shows whether a file is attached and which: a badge on its
  // picture and the path as its tooltip; "" shows none.
  void showAttachment(const std::string& path);
  // Red while the recipient is the specific address of the settings, else black.
  void markRecipient(bool specific);

  // Sizes the panel and its boxes for the window's size rules.
  void fit(const ComposeLayout& layout, const TwipsWindow& twips);

 private:
  void placeBoxes(const TwipsWindow& twips);    // the labels, "帰", the box and the text boxes
  void placeButtons(const TwipsWindow& twips);  // the attachment and send buttons
  void linkLabelsAndKeyboardOrder();
};

}  // namespace parupo
