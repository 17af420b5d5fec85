#include "model/ListState.h"

#include <algorithm>

bool ListState::AnyChecked() const
{
    return std::any_of(PRURLList.cbegin(), PRURLList.cend(), [](const PRURLEntry& e) { return e.Checked == 1; }) ||
           std::any_of(QuorvexList.cbegin(), QuorvexList.cend(), [](const QuorvexEntry& e) { return e.Checked == 1; });
}
