#pragma once
// Where and how a keyword is searched: the country (ISO 3166-1 alpha-2), the language (ISO 639-1),
// the device and a location text as the services take it ("Lyon, France"). Codes are kept in lower
// case; a field left empty is not asked for, so the service answers with its own default.

#include <QList>
#include <QString>

#include <utility>

struct Market {
    QString Country;  // "fr", or empty
    QString Language; // "fr", or empty
    QString Device;   // "desktop" or "mobile", or empty
    QString Location; // a city or region name, or empty

    bool IsEmpty() const { return Country.isEmpty() && Language.isEmpty() && Device.isEmpty() && Location.isEmpty(); }
    bool operator==(const Market&) const = default;
};

inline constexpr int MaxLocationLength = 200;

// The market as typed, its codes in lower case and every field without blanks at its ends.
Market NormalisedMarket(const Market& market);
// Why the market cannot be stored, with the forms that can, or empty when it can. The fields are
// taken as NormalisedMarket gives them.
QString MarketProblem(const Market& market);

// The country's English name ("France" for "fr"), or empty for a code that names none.
QString CountryName(const QString& code);
// Every country with a code, as (code, name), in the order of the names.
QList<std::pair<QString, QString>> Countries();
// The language's English name ("French" for "fr"), or empty for a code that names none.
QString LanguageName(const QString& code);
// Every language with a two-letter code, as (code, name), in the order of the names.
QList<std::pair<QString, QString>> Languages();

// The entry's own market where it has one, else the default.
inline const Market& EffectiveMarket(const Market& own, const Market& fallback)
{
    return own.IsEmpty() ? fallback : own;
}

// How a market is named in the report, the history and the exports: "fr fr mobile Lyon, France",
// the fields that are set in that order, or "unspecified" when none is.
QString MarketText(const Market& market);
