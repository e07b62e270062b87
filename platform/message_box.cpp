#include "message_box.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarvex {

void MessageBox::Open(const std::string& text, int style, const std::string& title, Answered answered) {
  const int answer = Show(text, style, title);
  if (answered) answered(answer);
}

int RecordingMessageBox::DefaultAnswer(int style) {
  switch (style & 7) {
    case MsgBoxStyle::OkCancel: return MsgBoxResult::Ok;
    case MsgBoxStyle::AbortRetryIgnore: return MsgBoxResult::Retry;
    case MsgBoxStyle::YesNoCancel:
    case MsgBoxStyle::YesNo: return MsgBoxResult::Yes;
    case MsgBoxStyle::RetryCancel: return MsgBoxResult::Retry;
    default: return MsgBoxResult::Ok;
  }
}

int RecordingMessageBox::Show(const std::string& text, int style, const std::string& title) {
  ++waitedFor_;
  return Record(text, style, title);
}

void RecordingMessageBox::Open(const std::string& text, int style, const std::string& title, Answered answered) {
  const int answer = Record(text, style, title);
  if (answered) answered(answer);
}

int RecordingMessageBox::Record(const std::string& text, int style, const std::string& title) {
  shown_.push_back({text, style, title});
  if (!recordFile_.empty()) {
    std::string line = std::to_string(style) + "\t" + title + "\t";
    for (char c : text) {
      if (c == '\r') line += "\\r";
      else if (c == '\n') line += "\\n";
      else line += c;
    }
    line += '\n';
    const int fd = ::open(recordFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      // A record that cannot be written is only lost from the record: the box
      // itself has been "shown" and the caller goes on as if OK was pressed.
      [[maybe_unused]] ssize_t written = ::write(fd, line.data(), line.size());
      ::close(fd);
    }
  }
  return DefaultAnswer(style);
}

void EchoedMessageBox::Echo(const std::string& text, const std::string& title) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      line += " / ";
    } else {
      line += text[i];
    }
  }
  echo_ << "tarvex: " << title << ": " << line << std::endl;
}

int EchoedMessageBox::Show(const std::string& text, int style, const std::string& title) {
  Echo(text, title);
  return box_->Show(text, style, title);
}

void EchoedMessageBox::Open(const std::string& text, int style, const std::string& title, Answered answered) {
  Echo(text, title);
  box_->Open(text, style, title, std::move(answered));
}

}  // namespace tarvex
