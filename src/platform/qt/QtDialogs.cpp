#include "QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "QtConvert.h"

namespace oxalis {

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// "Data files (*.DA1)|*.DA1|All files (*.*)|*.*" becomes Qt's
// "Data files (*.DA1);;All files (*.*)": each description/pattern pair
// becomes one entry, with the pattern added when the description lacks it.
QString toQtFilter(const std::string& filter) {
  const QStringList parts = qs(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    const QString pattern = QString(parts[i + 1]).replace(';', ' ');
    if (!description.contains('(')) description += " (" + pattern + ")";
    entries << description;
  }
  if (entries.isEmpty() && !filter.empty()) entries << qs(filter);
  return entries.join(";;");
}

QString startPath(const FileDialogRequest& request) {
  if (request.fileName.empty()) return qs(request.startFolder);
  if (request.startFolder.empty()) return qs(request.fileName);
  return qs(request.startFolder) + '/' + qs(request.fileName);
}

}  // namespace

void QtDialogs::message(const std::string& text, const std::string& title, MessageIcon icon) {
  QMessageBox box(toQt(icon), qs(title), qs(text), QMessageBox::Ok, parent_);
  box.exec();
}

Answer QtDialogs::question(const std::string& text, const std::string& title, QuestionButtons buttons,
                           MessageIcon icon) {
  QMessageBox::StandardButtons set;
  switch (buttons) {
    case QuestionButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case QuestionButtons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case QuestionButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
  }
  QMessageBox box(toQt(icon), qs(title), qs(text), set, parent_);
  // Escape and the close box mean Cancel wherever there is one; left to
  // itself the box would take No, the answer that drops data.
  if (set.testFlag(QMessageBox::Cancel)) box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
  }
}

std::optional<std::string> QtDialogs::openFile(const FileDialogRequest& request) {
  const QString path = QFileDialog::getOpenFileName(parent_, qs(request.title), startPath(request),
                                                    toQtFilter(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, qs(request.title), qs(request.startFolder), toQtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(qs(request.defaultExtension));
  if (!request.promptOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.fileName.empty()) dialog.selectFile(qs(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::uint32_t> QtDialogs::chooseColor(std::uint32_t initial) {
  const QColor chosen = QColorDialog::getColor(toQColor(initial), parent_);
  if (!chosen.isValid()) return std::nullopt;
  return fromQColor(chosen);
}

}  // namespace oxalis
