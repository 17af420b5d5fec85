#include "gui/MarketFields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

QString Named(const QString& name, const QString& code)
{
    return u"%1 (%2)"_s.arg(name, code);
}

// What the first item says: the fallback's field, or that nothing is asked.
QString Unchosen(const Market* fallback, const QString& shown)
{
    if (!fallback)
        return u"None"_s;
    return u"Default: "_s + (shown.isEmpty() ? u"none"_s : shown);
}

QComboBox* List(QWidget* parent, const char* name, const QString& unchosen,
                const QList<std::pair<QString, QString>>& items)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItem(unchosen, QString());
    for (const auto& [code, text] : items)
        list->addItem(text, code);
    return list;
}

// Chooses the item of that code; a code the list lacks (an older locale table) gets an item of its
// own, so that showing a market never changes it.
void Choose(QComboBox* list, const QString& code)
{
    int index = list->findData(code);
    if (index < 0) {
        list->addItem(code, code);
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
}

} // namespace

MarketFields::MarketFields(const Market* fallback, QWidget* parent) : QWidget(parent)
{
    setObjectName(u"MarketFields"_s);
    QList<std::pair<QString, QString>> countries;
    for (const auto& [code, name] : Countries())
        countries.append({code, Named(name, code)});
    QList<std::pair<QString, QString>> languages;
    for (const auto& [code, name] : Languages())
        languages.append({code, Named(name, code)});
    const Market none;
    const Market& shown = fallback ? *fallback : none;
    cmbCountry =
        List(this, "cmbCountry",
             Unchosen(fallback, shown.Country.isEmpty() ? QString() : Named(CountryName(shown.Country), shown.Country)),
             countries);
    cmbLanguage = List(
        this, "cmbLanguage",
        Unchosen(fallback, shown.Language.isEmpty() ? QString() : Named(LanguageName(shown.Language), shown.Language)),
        languages);
    cmbDevice = List(this, "cmbDevice", Unchosen(fallback, shown.Device),
                     {{u"desktop"_s, u"desktop"_s}, {u"mobile"_s, u"mobile"_s}});
    txtLocation = new QLineEdit(this);
    txtLocation->setObjectName(u"txtLocation"_s);
    txtLocation->setPlaceholderText(Unchosen(fallback, shown.Location));

    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(u"Co&untry:"_s, cmbCountry);
    form->addRow(u"&Language:"_s, cmbLanguage);
    form->addRow(u"&Device:"_s, cmbDevice);
    form->addRow(u"Loca&tion:"_s, txtLocation);
    setTabOrder(cmbCountry, cmbLanguage);
    setTabOrder(cmbLanguage, cmbDevice);
    setTabOrder(cmbDevice, txtLocation);

    for (QComboBox* list : {cmbCountry, cmbLanguage, cmbDevice})
        connect(list, &QComboBox::currentIndexChanged, this, &MarketFields::Changed);
    connect(txtLocation, &QLineEdit::textChanged, this, &MarketFields::Changed);
}

Market MarketFields::Value() const
{
    return {cmbCountry->currentData().toString(), cmbLanguage->currentData().toString(),
            cmbDevice->currentData().toString(), txtLocation->text()};
}

void MarketFields::SetValue(const Market& market)
{
    Choose(cmbCountry, market.Country);
    Choose(cmbLanguage, market.Language);
    Choose(cmbDevice, market.Device);
    txtLocation->setText(market.Location);
}

QWidget* MarketFields::First() const
{
    return cmbCountry;
}

QWidget* MarketFields::Last() const
{
    return txtLocation;
}
