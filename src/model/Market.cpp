// Markets: normalising, checking and naming them, with the country and language codes that Qt's
// locale data knows.

#include "model/Market.h"

#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool HoldsControlCharacter(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

bool IsTwoLetters(const QString& code)
{
    return code.size() == 2 && code.at(0).isLower() && code.at(1).isLower() && code.at(0).unicode() < 128 &&
           code.at(1).unicode() < 128;
}

} // namespace

Market NormalisedMarket(const Market& market)
{
    return {market.Country.trimmed().toLower(), market.Language.trimmed().toLower(), market.Device.trimmed().toLower(),
            market.Location.trimmed()};
}

QString MarketProblem(const Market& given)
{
    const Market market = NormalisedMarket(given);
    if (!market.Country.isEmpty() && CountryName(market.Country).isEmpty())
        return u"Unknown country '%1': give a two-letter ISO 3166-1 code, such as fr, de or us"_s.arg(given.Country);
    if (!market.Language.isEmpty() && LanguageName(market.Language).isEmpty())
        return u"Unknown language '%1': give a two-letter ISO 639-1 code, such as fr, de or en"_s.arg(given.Language);
    if (!market.Device.isEmpty() && market.Device != u"desktop" && market.Device != u"mobile")
        return u"Unknown device '%1': give desktop or mobile"_s.arg(given.Device);
    if (HoldsControlCharacter(market.Location))
        return u"The location must not hold control characters"_s;
    if (market.Location.size() > MaxLocationLength)
        return u"The location must not be longer than %1 characters"_s.arg(MaxLocationLength);
    return {};
}

QString CountryName(const QString& code)
{
    if (!IsTwoLetters(code))
        return {};
    const QLocale::Territory territory = QLocale::codeToTerritory(code);
    return territory == QLocale::AnyTerritory ? QString() : QLocale::territoryToString(territory);
}

namespace {

void SortByName(QList<std::pair<QString, QString>>& codes)
{
    std::sort(codes.begin(), codes.end(),
              [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.second, b.second) < 0; });
}

} // namespace

QString LanguageName(const QString& code)
{
    if (!IsTwoLetters(code))
        return {};
    const QLocale::Language language = QLocale::codeToLanguage(code, QLocale::ISO639Part1);
    return language == QLocale::AnyLanguage ? QString() : QLocale::languageToString(language);
}

QList<std::pair<QString, QString>> Languages()
{
    QList<std::pair<QString, QString>> languages;
    for (int value = QLocale::AnyLanguage + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = QLocale::Language(value);
        const QString code = QLocale::languageToCode(language, QLocale::ISO639Part1);
        // A code names one language: the one it reads back as.
        if (IsTwoLetters(code) && QLocale::codeToLanguage(code, QLocale::ISO639Part1) == language)
            languages.append({code, QLocale::languageToString(language)});
    }
    SortByName(languages);
    return languages;
}

QList<std::pair<QString, QString>> Countries()
{
    QList<std::pair<QString, QString>> countries;
    for (int value = QLocale::AnyTerritory + 1; value <= QLocale::LastTerritory; ++value) {
        const auto territory = QLocale::Territory(value);
        const QString code = QLocale::territoryToCode(territory).toLower();
        // Regions such as "world" or "Latin America" have numeric codes, not two letters.
        if (IsTwoLetters(code) && QLocale::codeToTerritory(code) == territory)
            countries.append({code, QLocale::territoryToString(territory)});
    }
    SortByName(countries);
    return countries;
}

QString MarketText(const Market& market)
{
    QStringList fields;
    for (const QString& field : {market.Country, market.Language, market.Device, market.Location}) {
        if (!field.isEmpty())
            fields.append(field);
    }
    return fields.isEmpty() ? u"unspecified"_s : fields.join(QLatin1Char(' '));
}
