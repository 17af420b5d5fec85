#pragma once
// Reduces an address to the address of its site: scheme, "://" and host, nothing after.

#include <QString>

// "http://" is put in front when neither "http://" nor "https://" begins the address; the scheme
// comes back lower-cased, the host keeps its case, and nothing is trimmed.
QString NormaliseURL(const QString& address);
// The host part of NormaliseURL(address): what a result page shows of a site's address.
QString NormalisedHost(const QString& address);
