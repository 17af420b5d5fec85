#include "sitedb/SiteDbRules.h"

#include "sitedb/SiteDbTexts.h"
#include "web/LeadingNumber.h"

#include <algorithm>

namespace {

constexpr int KeywordLimit = 255;
constexpr int CategoryLimit = 30;
// Row positions are the program's 16-bit counts.
constexpr int RowLimit = 32767;

bool HasControlCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QString StoredKeyword(const QString& text)
{
    return text.trimmed().toLower();
}

QString KeywordProblem(const QString& keyword, const QString& category)
{
    if (keyword.isEmpty())
        return SiteDbTexts::EmptyKeyword;
    if (category.isEmpty())
        return SiteDbTexts::EmptyCategory;
    if (keyword.size() > KeywordLimit)
        return SiteDbTexts::KeywordTooLong;
    if (category.size() > CategoryLimit)
        return SiteDbTexts::CategoryTooLong;
    if (HasControlCharacter(keyword) || HasControlCharacter(category))
        return SiteDbTexts::ControlCharacters;
    return {};
}

Progress SplitSearchNum(const std::optional<QString>& searchNum)
{
    if (!searchNum)
        return {};
    const qsizetype slash = searchNum->indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {*searchNum, {}};
    return {searchNum->left(slash), searchNum->mid(slash + 1).section(QLatin1Char('/'), 0, 0)};
}

BatchPlan PlanBatch(const QString& top, const QString& bottom, const QString& span)
{
    BatchPlan plan;
    const std::optional<int> head = WholeNumber(top);
    const std::optional<int> end = WholeNumber(bottom);
    if (!head || !end || *head < 1 || *end < 0 || *head > RowLimit + 1 || *end > RowLimit) {
        plan.Problem = SiteDbTexts::WholeNumbers;
        return plan;
    }
    plan.Head = *head;
    plan.End = *end;
    if (plan.Head > plan.End) {
        plan.AllDone = true;
        return plan;
    }
    // The span box reads as its leading number, as it always has ("50 rows" is 50).
    const std::optional<int> rows = LeadingNumber(span);
    if (!rows || *rows < 1) {
        plan.Problem = SiteDbTexts::SpanNumber;
        return plan;
    }
    plan.Next = plan.Head + *rows <= plan.End ? plan.Head + *rows : plan.End + 1;
    return plan;
}
