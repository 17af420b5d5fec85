#pragma once
// The four fields of a market, as the keyword entry dialog and the default market's settings show
// them: the country and the language chosen by name with their codes, the device, and the location
// as typed. The first item of each list, like an empty location, chooses nothing for that field.

#include "model/Market.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

class MarketFields : public QWidget {
    Q_OBJECT
public:
    // With a fallback, what chooses nothing shows that market's field as "Default: ..."; without
    // one, as "None".
    MarketFields(const Market* fallback, QWidget* parent);

    // The fields chosen, as typed; MarketProblem tells whether they can be stored.
    Market Value() const;
    void SetValue(const Market& market);

    // The first and the last field, to chain the keyboard's order through the window.
    QWidget* First() const;
    QWidget* Last() const;

Q_SIGNALS:
    void Changed();

private:
    QComboBox* cmbCountry;
    QComboBox* cmbLanguage;
    QComboBox* cmbDevice;
    QLineEdit* txtLocation;
};
