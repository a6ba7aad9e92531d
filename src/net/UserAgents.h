#pragma once

#include <QString>
#include <QStringList>

// The browser user-agents that the program's HTTP client presents, in their order.
const QStringList& UserAgentTable();
// One entry of the table, picked uniformly at random; safe from any thread.
QString PickUserAgent();
