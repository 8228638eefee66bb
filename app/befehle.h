// The commands that live outside commands.cpp, by area; commands.cpp lists
// them in its table.
#pragma once

#include <QStringList>

namespace cli {
// cmd_konten.cpp: the chart and the tax keys.
int cmdAccounts(const QStringList& args);
int cmdKeys(const QStringList& args);
}  // namespace cli
