#pragma once

#include <QLoggingCategory>

// "nimbulon.remote": the remote settings, the catalogue and the advertising.
Q_DECLARE_LOGGING_CATEGORY(lcRemote)
