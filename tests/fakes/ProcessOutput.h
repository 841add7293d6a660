#pragma once
// End-to-end tests: waiting (bounded) for a program to say something.
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

namespace oxalis::test {

// Collects what the process writes on `channel` into `output` (cleared
// first) until it contains `text`; false when the process ends or the time
// runs out first.
inline bool waitForOutput(QProcess& process, QProcess::ProcessChannel channel, const QString& text, QString& output,
                          int limitMs = 15000) {
  output.clear();
  QDeadlineTimer deadline(limitMs);
  while (!deadline.hasExpired()) {
    process.setReadChannel(channel);
    output += QString::fromLocal8Bit(process.readAll());
    if (output.contains(text)) return true;
    if (process.state() == QProcess::NotRunning) return false;
    process.waitForReadyRead(200);
  }
  return false;
}

}  // namespace oxalis::test
