#pragma once

#include <QString>

// The reason the system gave for a failed file operation, in Italian, for the program's
// messages. Qt keeps only the text of a reason, worked out from the C library's error number:
// its own English words for the commonest, the C library's for the rest; the number is found
// again from that text. A reason the program does not know is given as it came.
QString italianSystemReason(const QString& reported);
