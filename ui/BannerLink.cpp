#include "ui/BannerLink.h"

#include "ui/LinkAddresses.h"

CBannerLink::CBannerLink(QWidget* parent)
    : CLinkLabel(LinkAddresses::kBanner, parent)
{
}
