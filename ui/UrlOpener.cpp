#include "ui/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

bool OpenWithDesktop(const QString& address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

CUrlOpener::Handler& CurrentHandler()
{
    static CUrlOpener::Handler handler = OpenWithDesktop;
    return handler;
}

} // namespace

bool CUrlOpener::Open(const QString& address)
{
    return CurrentHandler()(address);
}

CUrlOpener::Handler CUrlOpener::SetHandler(Handler handler)
{
    Handler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : Handler(OpenWithDesktop);
    return previous;
}

CUrlOpener::CScope::CScope(Handler handler)
    : m_previous(SetHandler(std::move(handler)))
{
}

CUrlOpener::CScope::~CScope()
{
    SetHandler(std::move(m_previous));
}
