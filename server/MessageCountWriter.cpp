// MessageCountWriter.cpp - the once-a-second write of the message counts.
#include "MessageCountWriter.h"

#include "ConsoleLog.h"
#include "InfoRows.h"

void MessageCountWriter::WriteIfDue() {
  const auto now = std::chrono::steady_clock::now();
  if (m_lastAttempt && now - *m_lastAttempt < kInterval) {
    return;
  }
  const std::pair<uint16_t, uint16_t> counts{static_cast<uint16_t>(m_metrics.TotalRequests()),
                                             static_cast<uint16_t>(Read(m_metrics.modbusResponses))};
  if (m_written == counts) {
    return;
  }
  m_lastAttempt = now;
  // A failed write (the file locked by another program, or read-only) is
  // tried again a second later; the first failure in a row is logged.
  const bool written = WriteMessageCounts(m_database, counts.first, counts.second);
  if (written) {
    m_written = counts;
  } else if (!m_failing) {
    LogError("Error: Could not write the message counts into their registers. File=[%s]\n",
             m_database.FileName().c_str());
  }
  m_failing = !written;
}
