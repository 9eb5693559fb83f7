#pragma once

#include <QString>

// A refresh-sized reply for the benchmarks: visitor lines of 13 fields cut
// by "<ln>", about 150 bytes a line, followed by the other six blocks.
QString MakeRefreshReply(int nVisitors);
