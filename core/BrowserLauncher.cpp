#include "core/BrowserLauncher.h"

CBrowserLauncher::~CBrowserLauncher() = default;
