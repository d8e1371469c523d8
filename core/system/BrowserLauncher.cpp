#include "core/system/BrowserLauncher.h"

CBrowserLauncher::~CBrowserLauncher() = default;
