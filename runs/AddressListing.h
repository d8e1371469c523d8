#pragma once

#include "core/post/PostResult.h"

#include <QCoreApplication>
#include <QStringList>

// Every address a dry run's result would send or leave out, a line each, the address first
// and then what becomes of it: "https://www.example.com/a  would announce", "…  would
// announce as removed", or the reason it is left out ("…  not found"). The address comes
// first, as a reason may hold one of its own.
class CAddressListing
{
    Q_DECLARE_TR_FUNCTIONS(CAddressListing)

public:
    static QStringList Lines(const CPostResult& result);
};
